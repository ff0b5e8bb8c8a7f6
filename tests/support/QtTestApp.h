#pragma once

// Makes sure a QApplication exists for widget tests (run with QT_QPA_PLATFORM=offscreen).
void EnsureQApplication();

// Runs `action` as soon as the next modal dialog has started (the dialog is passed to it), so a
// test can press a dialog's buttons while exec() runs. When a check inside `action` fails and
// the dialog is still open afterwards, it is ended (rejected) so that the test goes on at once.
#include <functional>
class QDialog;
void WhenDialogOpens(std::function<void(QDialog&)> action);
