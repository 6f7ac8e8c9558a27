// A named parameter of a query or of a report definition, and a list of them.
//
// Values are kept as QVariant; a null QVariant is the database NULL. The
// setters fix the parameter's data type as the runner's TParam does:
// SetAsString -> String, SetAsInteger -> Integer, SetAsDateTime -> DateTime,
// SetAsVariant -> the variant's own type (text stays text, int stays int).
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

class TParam {
public:
    enum class DataType { Unknown, String, Integer, Float, DateTime, Date };

    explicit TParam(const QString &name = QString(), DataType type = DataType::Unknown);

    QString Name() const { return m_name; }
    DataType dataType() const { return m_type; }
    void setDataType(DataType t) { m_type = t; }
    // Direction as a definition stores it (ptUnknown, ptInput, ...); queries only read it.
    QString ParamType() const { return m_paramType; }
    void setParamType(const QString &t) { m_paramType = t; }

    void SetAsString(const QString &v);
    void SetAsInteger(int v);
    void SetAsDateTime(const QDateTime &v);
    void SetAsVariant(const QVariant &v);
    // Makes the value null.
    void Clear();

    bool IsNull() const { return m_value.isNull(); }
    QVariant Value() const { return m_value; }
    QString AsString() const;

    static QString typeName(DataType t);
    static DataType typeFromName(const QString &name); // "ftString", "String", ...

private:
    QString m_name;
    DataType m_type;
    QVariant m_value;
    QString m_paramType = QStringLiteral("ptUnknown");
};

// An ordered list of parameters, looked up by name without regard to case.
class TParams {
public:
    TParam &add(const QString &name, TParam::DataType type = TParam::DataType::Unknown);
    // Throws EHostError naming the parameter when there is none of that name.
    TParam &ParamByName(const QString &name);
    const TParam &ParamByName(const QString &name) const;
    TParam *FindParam(const QString &name);
    const TParam *FindParam(const QString &name) const;
    int Count() const { return int(m_items.size()); }
    TParam &at(int i) { return *m_items[i]; }
    const TParam &at(int i) const { return *m_items[i]; }
    void clear() { m_items.clear(); }
    // A deep copy: the copy's parameters are new objects (a plain copy of a
    // TParams shares them).
    TParams clone() const;

private:
    QList<std::shared_ptr<TParam>> m_items;
};

// Whether the list holds a parameter of that name.
bool ExistParam(const TParams &params, const QString &name);
