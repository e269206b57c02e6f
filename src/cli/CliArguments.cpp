#include "cli/CliArguments.h"

#include "cli/CliFailure.h"

CliArguments::CliArguments(const QStringList& arguments, const QList<CliOption>& options)
    : m_options(options)
{
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
            m_positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString value;
        bool hasValue = false;
        const CliOption* option = find(argument, &value, &hasValue);
        if (!option)
            throw CliFailure::usage(QStringLiteral("Неизвестный параметр «%1»").arg(argument));
        const QString shown = QStringLiteral("--") + option->name;
        if (option->valueName.isEmpty()) {
            if (hasValue)
                throw CliFailure::usage(QStringLiteral("Параметр «%1» не принимает значения").arg(shown));
        } else if (!hasValue && option->optionalValue) {
            if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('-')))
                value = arguments.at(++i);
        } else if (!hasValue) {
            if (i + 1 >= arguments.size())
                throw CliFailure::usage(QStringLiteral("У параметра «%1» нет значения %2").arg(shown, option->valueName));
            value = arguments.at(++i);
        }
        if (m_values.contains(option->name) && !option->repeatable)
            throw CliFailure::usage(QStringLiteral("Параметр «%1» указан дважды").arg(shown));
        m_values[option->name] << value;
    }
}

const CliOption* CliArguments::find(const QString& argument, QString* value, bool* hasValue) const
{
    QString name;
    if (argument.startsWith(QLatin1String("--"))) {
        name = argument.mid(2);
        const int equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            *value = name.mid(equals + 1);
            *hasValue = true;
            name.truncate(equals);
        }
        for (const CliOption& option : m_options)
            if (option.name == name)
                return &option;
        return nullptr;
    }
    // "-o DIR"; a short option carries no glued value.
    if (argument.size() != 2)
        return nullptr;
    for (const CliOption& option : m_options)
        if (!option.shortName.isNull() && option.shortName == argument.at(1))
            return &option;
    return nullptr;
}
