#include "QtTestApp.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

void EnsureQApplication() {
    if (QApplication::instance())
        return;
    // Widget tests never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tarvane-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

namespace {

int FailureCount() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const ::testing::TestResult* result = test ? test->result() : nullptr;
    int failures = 0;
    for (int i = 0; result && i < result->total_part_count(); ++i)
        failures += result->GetTestPartResult(i).failed() ? 1 : 0;
    return failures;
}

} // namespace

void WhenDialogOpens(std::function<void(QDialog&)> action) {
    // Polls until the modal dialog is up: exec() starts it only after this call returns.
    auto* timer = new QTimer;
    timer->setInterval(0);
    auto tries = std::make_shared<int>(0);
    // The action belongs to the test that asked for it; a later test's dialog is none of its
    // business (a test that ended before its dialog opened would otherwise reach into the next).
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QObject::connect(timer, &QTimer::timeout, [timer, action, tries, test] {
        if (::testing::UnitTest::GetInstance()->current_test_info() != test) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && ++*tries < 1000)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog opened";
            return;
        }
        // A check that fails inside the action (an ASSERT returns early) would leave the dialog
        // waiting for a button nobody presses: end it, so the test fails at once.
        const int failuresBefore = FailureCount();
        QPointer<QDialog> open(dialog);
        action(*dialog);
        if (FailureCount() > failuresBefore && open && open->isVisible())
            open->done(QDialog::Rejected);
    });
    timer->start();
}
