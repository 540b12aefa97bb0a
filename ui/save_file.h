// SPDX-License-Identifier: MIT
// Quenrow: saving to a file. The name is asked for through one seam, so tests
// never block on a dialog, and a file is written whole or not at all.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

class QIODevice;
class QWidget;

namespace quenrow {

// One kind of file a window saves: the dialog's filter and the name endings
// that mean it, the first of which a name without one is given.
struct FileKind {
    QString filter; // "SVG drawing (*.svg)"
    QStringList suffixes;
};

// Asks for a file name as QFileDialog::getSaveFileName does: `proposed` is
// the path shown, `selectedFilter` the filter shown and then chosen. Empty
// when the user cancels.
using SaveNameChooser =
    std::function<QString(QWidget *parent, const QString &caption, const QString &proposed,
                          const QStringList &filters, QString *selectedFilter)>;

// Replaces the dialog (tests answer instead); returns the old chooser.
SaveNameChooser setSaveNameChooser(SaveNameChooser chooser);

struct SaveTarget {
    QString path;
    std::size_t kind = 0; // index into the kinds offered
};

// The kind of `path` by its ending, else the kind of the filter chosen, in
// which case the path gets that kind's ending.
SaveTarget saveTargetFor(QString path, const QString &filter, const std::vector<FileKind> &kinds);

// Asks where to save, proposing `stem` with the first kind's ending in the
// folder saved to last (the current folder at first).
std::optional<SaveTarget> askSaveTarget(QWidget *parent, const QString &caption,
                                        const QString &stem, const std::vector<FileKind> &kinds);

// Writes `path` through `write` into a QSaveFile, so an existing file of that
// name stays as it was until the new one is complete, and nothing
// half-written remains. A failure shows one warning naming the file and the
// cause. True when the file was written.
bool saveFile(QWidget *parent, const QString &path, const std::function<bool(QIODevice &)> &write);

// Asks for a file to open as QFileDialog::getOpenFileName does; empty when
// the user cancels. Replaceable like the save chooser.
using OpenNameChooser =
    std::function<QString(QWidget *parent, const QString &caption, const QString &filter)>;
OpenNameChooser setOpenNameChooser(OpenNameChooser chooser);
QString askOpenPath(QWidget *parent, const QString &caption, const QString &filter);

} // namespace quenrow
