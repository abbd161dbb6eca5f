#pragma once

#include "PageRewriter.h"

#include <QAbstractTableModel>

// The changed lines of one page for the site window's table. Rows are handed to the view as it
// scrolls to them, a step at a time: a page of 300,000 changed lines is shown at once and the
// window keeps answering, where making a cell for every line took seconds.
class ChangedLinesModel : public QAbstractTableModel
{
public:
    static constexpr int Step = 200;

    // headers: the line number's, the old line's and the new line's
    ChangedLinesModel(QStringList headers, QObject* parent) : QAbstractTableModel(parent), m_headers(std::move(headers)) {}

    void setLines(const QList<ChangedLine>& lines);

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_shown); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    QStringList m_headers;
    QList<ChangedLine> m_lines;
    qsizetype m_shown = 0;
};
