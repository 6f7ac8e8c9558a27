// Writes a report definition in the file format that DefinitionParser reads, and
// saves it atomically (the old file or the new one survives a crash, never a
// part of either).
#pragma once

#include "ReportDefinition.h"

class DefinitionWriter {
public:
    static QString toText(const ReportDefinition &def);
    // Throws EHostError when the file cannot be written; creates the folder.
    static void save(const ReportDefinition &def, const QString &path);
};
