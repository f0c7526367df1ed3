// The editors of a list's extra fields on "Movies": one for each field, of its kind, under a
// caption with the field's name, in a frame that scrolls.
#pragma once

#include "catalogue/ExtraField.h"

#include <QGroupBox>

class QScrollArea;

namespace reelkeep {

class ExtraFieldEditors : public QGroupBox
{
    Q_OBJECT

public:
    explicit ExtraFieldEditors(QWidget* parent = nullptr);

    /// Makes an editor for each field, each holding no value; the frame shows only for fields.
    void rebuild(const ExtraFields& fields);
    qsizetype count() const { return m_editors.size(); }
    /// The editors, in the fields' order.
    const QList<QWidget*>& editors() const { return m_editors; }
    /// The value the editor of the field at a position holds: its kind's canonical text, or the
    /// text typed when that is no value of the kind.
    QString value(qsizetype field) const;
    void setValue(qsizetype field, const QString& value);
    /// What an editor holds that is no value of its field's kind, in words for the user; the
    /// empty text when every editor holds a value or none.
    QString problem() const;

signals:
    /// The user changed a value.
    void edited();

private:
    ExtraFields m_fields;
    QList<QWidget*> m_editors;
    QScrollArea* m_scroll = nullptr;
};

} // namespace reelkeep
