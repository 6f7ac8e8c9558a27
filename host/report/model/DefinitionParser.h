// Reads report definition files (*.rel, UTF-8 text).
//
// One statement per line; keywords in any case; '#' starts a comment outside
// quoted text; strings are in double quotes with \" \\ \n escapes.
//
//   title "Custo Realizado Global do Período"
//   orientation landscape                 # portrait (default) | landscape
//   font "DejaVu Sans" 8                  # family and size in points
//   param P_CDFILIAL string label "Filial Agregada"
//   param P_DTINICIAL date label "Data Inicial" format "dd/MM/yyyy"
//   param P_NRTAMACNIVEL integer default 2
//       types: string | integer | float | date | datetime. A parameter with a
//       label is printed in the page header; format is its pattern there;
//       default is the value it has when nobody sets it (else null).
//   query main                            # the first query gives the rows
//   SQL <<END                             # SQL, SQL_ORACLE, SQL_MSSQL, SQL_IB
//   SELECT ... WHERE CDFILIAL = :P_CDFILIAL
//   END                                   # a line holding only the tag
//       A dialect text left out means the SQL text serves that dialect too.
//       Every :NAME must be a declared parameter. Other queries are one-row
//       look-ups whose fields the header names as {query.FIELD}.
//   picture 0                             # the code picture of codes
//   column CDARVPROD "Código" width 25 align left format code
//   column VRCUSTREAL "Custo" width 30 align right format number 2 sum
//       format: text | integer | number DECIMALS | date "PATTERN" |
//       datetime "PATTERN" | code (through the picture); width in
//       millimetres; sum: summed in subtotals and the grand total. The
//       widths must fit the page.
//   group CDNIVEL header "Nível {CDNIVEL} - {NMNIVEL}" subtotal "Total do nível"
//       groups nest in the order written (outermost first); the rows must
//       come ordered so that each group's rows are together. skipempty:
//       rows whose value is empty get no header and no subtotal.
//   total "Total Geral"
//   chart "Custo por grupo" value VRCUSTREAL by CDGRUPO label "{NMGRUPO}"
//       a bar chart after the grand total: the sum of value per key.
//   header "Filial: {P_CDFILIAL} - {filial.NMFILIAL}"
//   footer "Página {page} de {pages}"      # this is also the default
//
// Templates name parameters {P_X}, fields of the current row {FIELD},
// look-up fields {query.FIELD}, and {page}, {pages}, {now}, with filters
// (ReportTemplate.h). Errors throw ReportParseError with the file, line and
// column.
#pragma once

#include "ReportDefinition.h"

class DefinitionParser {
public:
    // fileName is only used in error texts.
    static ReportDefinition parseText(const QString &text, const QString &fileName);
    // Reads and parses a file; a file that cannot be read is an EHostError.
    static ReportDefinition parseFile(const QString &path);
    // Only the title of a file, for lists: reads up to its title statement,
    // skipping statement texts, without checking the rest. Throws as
    // parseFile does when the file cannot be read, is too large or has no
    // title (ReportParseError with the line and column).
    static QString readTitle(const QString &path);
    // Checks a definition built in memory (e.g. by the editor) by writing it
    // and reading it back; returns the error text, empty when it is sound.
    static QString check(const ReportDefinition &def);
};
