// The paper and orientation a person last chose in the print dialog for a
// report (by its title, the printer's document name), kept in the user's
// preferences (preferencias.ini) so that the next print of that report
// offers them again. A report never printed keeps its definition's.
#pragma once

#include <QString>

class QPrinter;

namespace PrintChoices {
// Puts the last paper and orientation chosen for printer's document on it.
void offer(QPrinter &printer);
// Keeps the paper and orientation printer holds now, for its document.
void remember(const QPrinter &printer);
} // namespace PrintChoices
