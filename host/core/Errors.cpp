#include "Errors.h"

EAbort::EAbort(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
EHostError::EHostError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
