#pragma once

#include <QWidget>

namespace fenra {

// The small About window: a tool window with a close button only.
class frmAbout final : public QWidget {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

signals:
    // The user closed the window, by its close button or Escape.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}   // namespace fenra
