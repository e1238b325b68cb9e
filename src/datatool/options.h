#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace orv::datatool {

// One option a command accepts: its long name ("--kind"), an optional short
// name ("-o") and whether a value follows it.
struct OptionDef {
    OptionDef(const QString& longName, bool withValue, const QString& shortForm = {})
        : name(longName), takesValue(withValue), shortName(shortForm)
    {
    }
    QString name;
    bool takesValue = false;
    QString shortName;
};

// The parsed arguments of one command.
class ParsedArgs {
public:
    bool has(const QString& name) const { return m_values.contains(name); }
    // The value of an option (empty when not given).
    QString value(const QString& name) const { return m_values.value(name); }
    const QStringList& positional() const { return m_positional; }

    // Splits `args` into options and positional arguments. Options take the
    // forms "--name value", "--name=value" and "-o value"; "--" ends the
    // options. An unknown option, a missing value, a value given to a switch
    // or an option given twice fails with a German message in `error`.
    bool parse(const QStringList& args, std::initializer_list<OptionDef> defs, QString& error);

private:
    QHash<QString, QString> m_values;
    QStringList m_positional;
};

} // namespace orv::datatool
