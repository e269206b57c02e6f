#pragma once

#include "database/DBQueryModel.h"

#include <QStringList>

// A filter list of texts (column 1) with the texts the user has ticked, which
// survive refills. Texts compare case-sensitively.
class DBTextListModel : public DBQueryModel
{
    Q_OBJECT
public:
    using DBQueryModel::DBQueryModel;

    // Ticking keeps a text once, at its first place.
    Q_INVOKABLE void setTickStatus(QString nameField, bool ticks);

    // Drops the ticks of texts that are no longer listed.
    void pruneTicks();

protected:
    static constexpr int nameColumn = 1;
    QStringList& ticked() { return m_ticked; }
    bool isTicked(const QString& text) const { return m_ticked.contains(text); }
    void sortTicks();

private:
    QStringList m_ticked;
};
