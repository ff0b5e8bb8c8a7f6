#include "QtTestApp.h"

#include <QApplication>
#include <QDialog>
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

void WhenDialogOpens(std::function<void(QDialog&)> action) {
    // Polls until the modal dialog is up: exec() starts it only after this call returns.
    auto* timer = new QTimer;
    timer->setInterval(0);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, tries] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && ++*tries < 1000)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog opened";
            return;
        }
        action(*dialog);
    });
    timer->start();
}
