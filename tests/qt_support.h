// SPDX-License-Identifier: MIT
// Quenrow widget tests: warnings recorded instead of shown, and snapshots of
// what a user sees, for "nothing changed" checks.
#pragma once

#include <array>

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include "ui/main/form1.h"
#include "ui/message.h"
#include "ui/plot/form2.h"

namespace quenrow::test {

// While alive, every warning box is recorded here and returns at once.
class WarningRecorder {
public:
    WarningRecorder()
    {
        previous_ = setWarningHandler([this](QWidget *, const QString &text) { texts << text; });
    }
    ~WarningRecorder() { setWarningHandler(previous_); }
    WarningRecorder(const WarningRecorder &) = delete;
    WarningRecorder &operator=(const WarningRecorder &) = delete;

    QStringList texts;

private:
    WarningHandler previous_;
};

// Everything a user sees that a load or a preview may change: the table, the
// list and its selection, the four boxes, the caption, the plot image and the
// marker lines.
struct Snapshot {
    MaterialTable table;
    QStringList rows;
    QList<int> selectedRows;
    int currentRow = -1;
    QString text1, text2, text3, text4, caption;
    bool text3Enabled = false, text4Enabled = false;
    QImage plot;
    std::array<float, 8> markers{};
    bool line1Visible = false, line2Visible = false;

    static Snapshot of(const Form1 &form)
    {
        Snapshot s;
        if (form.material())
            s.table = form.material()->table;
        for (int i = 0; i < form.List1->count(); ++i) {
            s.rows << form.List1->item(i)->text();
            if (form.List1->item(i)->isSelected())
                s.selectedRows << i;
        }
        s.currentRow = form.List1->currentRow();
        s.text1 = form.Text1->text();
        s.text2 = form.Text2->text();
        s.text3 = form.Text3->text();
        s.text4 = form.Text4->text();
        s.text3Enabled = form.Text3->isEnabled();
        s.text4Enabled = form.Text4->isEnabled();
        if (Form2 *plot = form.plotWindow()) {
            s.caption = plot->windowTitle();
            s.plot = plot->Picture1->image().copy();
            const LineControl &a = plot->Line1(), &b = plot->Line2();
            s.markers = {a.x1(), a.y1(), a.x2(), a.y2(), b.x1(), b.y1(), b.x2(), b.y2()};
            s.line1Visible = a.isVisible();
            s.line2Visible = b.isVisible();
        }
        return s;
    }

    bool operator==(const Snapshot &other) const
    {
        return table == other.table && rows == other.rows && selectedRows == other.selectedRows &&
               currentRow == other.currentRow && text1 == other.text1 && text2 == other.text2 &&
               text3 == other.text3 && text4 == other.text4 && caption == other.caption &&
               text3Enabled == other.text3Enabled && text4Enabled == other.text4Enabled &&
               plot == other.plot && markers == other.markers &&
               line1Visible == other.line1Visible && line2Visible == other.line2Visible;
    }
};

// Selects `fileName` in whichever file list shows it, as a click would.
inline bool selectFile(Form1 &form, const QString &fileName)
{
    for (QListWidget *list : {form.File1, form.File2}) {
        const auto found = list->findItems(fileName, Qt::MatchExactly);
        if (!found.isEmpty()) {
            list->setCurrentItem(found.first());
            return true;
        }
    }
    return false;
}

// Selects and loads, as a user pressing GO.
inline bool loadFile(Form1 &form, const QString &fileName)
{
    if (!selectFile(form, fileName))
        return false;
    form.Command2->click();
    return true;
}

} // namespace quenrow::test
