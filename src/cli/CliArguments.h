#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One option of a command: "--name" (or "-x"), with a value when valueName
// is set ("--name VALUE" or "--name=VALUE"). An optional value is taken only
// as "--name=VALUE" or from a next argument that is not an option.
struct CliOption
{
    CliOption() = default;
    CliOption(const QString& name, const QString& valueName, const QString& help, bool repeatable = false,
              QChar shortName = QChar())
        : name(name), valueName(valueName), help(help), repeatable(repeatable), shortName(shortName)
    {
    }

    QString name;
    QString valueName;
    QString help;
    bool repeatable = false;
    QChar shortName;
    bool optionalValue = false;
};

// The arguments after the command name. Parsing fails with a usage
// CliFailure whose text names the offending argument, in Russian; "--" ends
// the options.
class CliArguments
{
public:
    CliArguments(const QStringList& arguments, const QList<CliOption>& options);

    bool isSet(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name) const { return m_values.value(name).value(0); }
    QStringList values(const QString& name) const { return m_values.value(name); }
    const QStringList& positional() const { return m_positional; }

private:
    const CliOption* find(const QString& argument, QString* value, bool* hasValue) const;

    QList<CliOption> m_options;
    QHash<QString, QStringList> m_values;
    QStringList m_positional;
};
