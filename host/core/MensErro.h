// Error messages of the screens.
#pragma once

#include <QString>

// Shows text as an error message; with abort true it then raises the silent
// EAbort, so the running action ends and nothing more is shown.
void MensErro(const QString &text, bool abort);
