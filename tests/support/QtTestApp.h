#pragma once

// Makes sure a QApplication exists for widget tests (run with QT_QPA_PLATFORM=offscreen).
void EnsureQApplication();

// Runs `action` as soon as the next modal dialog has started (the dialog is passed to it), so a
// test can press a dialog's buttons while exec() runs.
#include <functional>
class QDialog;
void WhenDialogOpens(std::function<void(QDialog&)> action);
