#pragma once

#include "engine/RandomSource.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/FileStore.h"
#include "platform/Messages.h"
#include "platform/Questions.h"
#include "studio/MapsFiles.h"
#include "studio/StudioDocument.h"

#include <QMainWindow>

#include <optional>

class QLabel;

namespace fenra::studio {

class LiveRender;
class MapCanvas;
class MapsPanel;

// Every service of the system the studio uses, so tests can pass fakes.
struct StudioServices {
    Messages& messages;
    FileDialogs& dialogs;
    FileStore& files;
    Questions& questions;
    Clock& clock;
    QString startFolder;
};

// The studio's window: the canvas with the live picture, the maps panel, the
// status line, and the File, Edit and View menus.
class StudioWindow : public QMainWindow {
    Q_OBJECT
public:
    StudioWindow(StudioServices services, RandomSource& random, int renderThreads, QWidget* parent = nullptr);
    ~StudioWindow() override;

    // Opens a collection's entry (`entry`, or the one the user picks when there
    // are several), a data file, or a PNG the project wrote. False when nothing
    // was opened; the user was told why.
    bool openFile(const QString& path, const std::optional<QString>& entry = std::nullopt);
    bool save();
    bool saveAs();
    // Asks for a size and a file, then draws the picture on a thread of its own.
    void exportPicture();
    void randomize();
    void frameAttractor();

    StudioDocument& document() { return m_document; }

signals:
    // A snapshot of the live picture is on the canvas.
    void pictureShown(qint64 points);
    // Export Picture wrote its file (or told the user why not).
    void pictureExported(const QString& path, bool written);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void openWithDialog();
    bool maySwitchAway();   // asks to save unsaved changes; false when the user cancels
    void startDocument(MapList maps, std::optional<MapsSource> source, const QString& name);
    bool saveTo(const MapsSource& target);
    void updateTitle();
    void requestPicture();
    void showSnapshot(const QImage& picture, const QRectF& box, qint64 points, double seconds);
    void updateStatus();

    StudioServices m_services;
    RandomSource& m_random;
    StudioDocument m_document;
    MapCanvas* m_canvas;
    MapsPanel* m_panel;
    QLabel* m_status;
    LiveRender* m_render;
    std::optional<MapsSource> m_source;   // none: Save asks for a file
    QString m_name;                       // the entry's or the file's name, in the title
    FileDialogState m_openDialog, m_saveDialog, m_exportDialog;
    bool m_exporting = false;
    qint64 m_points = 0;
    double m_pointsPerSecond = 0;
    bool m_contracts = true;
    QString m_notice;   // a refused typing or render, until the next change
};

}   // namespace fenra::studio
