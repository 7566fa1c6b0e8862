#pragma once

#include "engine/DataSets.h"
#include "engine/PickDataSet.h"
#include "engine/RunSettings.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QByteArray>
#include <QWidget>

#include <QElapsedTimer>

#include <array>
#include <chrono>
#include <memory>

class QCheckBox;
class QComboBox;
class QDropEvent;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace fenra {

class DrawingArea;
class RandomSource;
class SlimComboStyle;
class frmAbout;

// The main window. Its controls hold the program's whole state, as the user
// sees it; each handler gathers what it needs from them into plain values,
// calls the engine, the generator or the files, and puts the results back.
class frmfenra final : public QWidget {
public:
    frmfenra(Platform platform, RandomSource& random, QWidget* parent = nullptr);
    ~frmfenra() override;

    // The handlers, one per command of the window.
    void cmdStart_Click();
    void cmdRandom_Click();
    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdSavePicture_Click();
    void cmdSaveBatch_Click();
    void cmdAbout_Click();
    void cborand_Change();
    void cborand_Click();

    // Files given by name, as the system's bytes: the program's command line
    // and a drop come in here. The first is opened (a data file as Load Data
    // opens one, a PNG that carries a data record by that record; a picture
    // or a collection without one is named in a message), the others are
    // named as not opened. Dropped while a run or a batch works, they wait
    // for its end.
    void openGivenFiles(const QList<QByteArray>& names);

    // How often a long run shows its progress and lets the window repaint.
    std::chrono::milliseconds progressEvery{50};

    // What the controls hold, as plain values.
    DataSetTexts dataSets() const;
    RunSettingsTexts runSettings() const;
    const CurrentMap& currentMap() const { return m_currentMap; }

    // The record last saved or loaded, and the data files' dialog as it will open next.
    const QByteArray& savedRecord() const { return rtfSave; }
    const FileDialogState& dataFileDialog() const { return CommonDialog1; }

    frmAbout* about() const { return m_about.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildDataSetFrames();
    void buildOptions();
    void buildBatch();
    void buildButtons();
    void setTabOrder();
    void connectHandlers();
    void Form_Load();

    QLineEdit* coefficientBox(int set, int coefficient) const;   // set and coefficient from 1
    QGroupBox* dataSetFrame(int set) const { return m_frames[std::size_t(set - 1)]; }
    QCheckBox* showBox(int set) const { return m_showBoxes[std::size_t(set - 1)]; }
    void ShowDataSetFrames();
    void showCoefficients(const DataSetTexts& sets);
    void LoadDataFile();
    void openDataFile(const QString& name);
    void openGivenFile(const QByteArray& rawName);
    void showRecord(const QByteArray& record);
    std::optional<QByteArray> readOrTell(const QString& name, qint64 maxBytes);
    QByteArray pictureAsBitmap();
    bool batchInputsOrRefuse(std::int16_t& runs);

    // What the event filter does for every control of the window.
    bool takeDroppedFiles(QDropEvent* event);
    bool enterPressesStart(QObject* watched, const QKeyEvent* key);

    // A run whose settings cannot be read is refused with a message.
    std::optional<RunPlan> planOrRefuse();
    bool countIsNumberOrRefuse();
    void render(const RunPlan& plan);
    void aboutClosed();
    bool timeToShowProgress();
    void repaintMeanwhile();
    void showColourOptionsAsOneStop();

    // While a run or a batch works, the window repaints, and input waits.
    class Busy {
    public:
        explicit Busy(frmfenra& window);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        frmfenra& m_window;
    };
    int m_busy = 0;
    bool m_closeWhenIdle = false;
    QList<QByteArray> m_droppedMeanwhile;
    QElapsedTimer m_sinceProgress;

    // The lists' narrow arrows; the lists only point to it.
    std::unique_ptr<SlimComboStyle> m_comboStyle;

    // The data sets, frames 1 to 6: their boxes txtdata1 to txtdata6, row labels and Show boxes.
    std::array<QGroupBox*, 6> m_frames{};
    std::array<std::array<QLineEdit*, 6>, 6> m_boxes{};
    std::array<QLabel*, 36> lbldata{};   // the row labels "1:" to "6:" of all six frames
    std::array<QCheckBox*, 6> m_showBoxes{};

    // Options.
    QLabel* lblrand = nullptr;
    QComboBox* cborand = nullptr;
    QLineEdit* txtIter = nullptr;
    QRadioButton* optclrwhite = nullptr;
    QRadioButton* optclrrand = nullptr;
    QRadioButton* optclrrule = nullptr;
    QLineEdit* txtMoveX = nullptr;
    QLineEdit* txtMoveY = nullptr;
    QComboBox* cboZoom = nullptr;

    // Batch.
    QLabel* lblSave = nullptr;
    QLineEdit* txtArray = nullptr;
    QPushButton* cmdSaveBatch = nullptr;
    QProgressBar* prgArray = nullptr;

    // On the window itself.
    QPushButton* cmdSavePicture = nullptr;
    QPushButton* cmdRandom = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdLoad = nullptr;
    QLabel* Picture1 = nullptr;
    QProgressBar* prgIter = nullptr;
    DrawingArea* pctdisplay = nullptr;

    // The record of the data file on its way to and from disk.
    QByteArray rtfSave;

    // The two file dialogs: data files and pictures.
    FileDialogState CommonDialog1;
    FileDialogState CommonDialog2;

    Platform m_platform;
    RandomSource& m_random;
    CurrentMap m_currentMap;
    std::unique_ptr<frmAbout> m_about;
    bool m_closing = false;
};

}   // namespace fenra
