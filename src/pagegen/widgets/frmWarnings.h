// The template warnings of the last page made, one row each, for the template's author to mend.
#pragma once

#include "pagegen/File_Filter.h"

#include <QDialog>

namespace reelkeep {

class frmWarnings : public QDialog
{
    Q_OBJECT

public:
    frmWarnings(const QList<TemplateWarning>& warnings, QWidget* parent = nullptr);
};

} // namespace reelkeep
