// Code pictures of the shell (table PICTCODIGO, read through the local cache;
// AtualizaLocalCache({"PICTCODIGO"}) reads them again). Type 0 is the
// product tree code CDARVPROD.
//
// ValidEx(dataSource, type, code, options, message, abort, valid):
//  checks code against the picture (TDBPicture::check) and returns the
//  adjusted code: the code without its trailing blanks; empty when the check
//  fails. Options (strings):
//    "AllowEmpty"  an empty or all-blank code passes (returned empty);
//    "LastLevel"   only a complete code (the last level) passes;
//    "Field=NAME"  with a data source: the column holding codes (default:
//                  its first field).
//  With a data source (a TDataSource of a TADOIBQuery), the code must also be
//  one of its rows; the query is left open on that row (OpenOnKey).
//  A failure shows message (or a text naming the fault) through MensErro with
//  the abort flag: true ends the action (EAbort), false returns empty.
//  valid, when given, receives the result.
#pragma once

#include "TDBPicture.h"

#include <QString>
#include <QStringList>
#include <memory>

class QObject;

// The edit mask of the picture of a type. Throws EHostError for a type
// that has no picture.
QString DBPict(int type);
// The picture itself, shared: nobody has to release it.
std::shared_ptr<const TDBPicture> DBPictObj(int type);

QString ValidEx(QObject *dataSource, int type, const QString &code, const QStringList &options,
                const QString &message, bool abort, bool *valid = nullptr);
