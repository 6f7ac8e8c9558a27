#include "ReportRowSink.h"

ReportRowSink::~ReportRowSink() = default;

QString ExportRow::kindName() const
{
    switch (kind) {
    case Kind::Detail:
        return QStringLiteral("Linha");
    case Kind::GroupHeader:
        return QStringLiteral("Grupo");
    case Kind::Subtotal:
        return QStringLiteral("Subtotal");
    case Kind::Total:
        break;
    }
    return QStringLiteral("Total");
}
