#include "database/DBTextListModel.h"

#include <algorithm>

void DBTextListModel::setTickStatus(QString nameField, bool ticks)
{
    if (ticks) {
        m_ticked.append(nameField);
        m_ticked.removeDuplicates();
    } else {
        m_ticked.removeAll(nameField);
    }
}

void DBTextListModel::pruneTicks()
{
    const QStringList listed = columnTexts(nameColumn);
    QStringList kept;
    for (const QString& text : qAsConst(m_ticked))
        if (listed.contains(text))
            kept << text;
    m_ticked = kept;
}

void DBTextListModel::sortTicks()
{
    std::sort(m_ticked.begin(), m_ticked.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}
