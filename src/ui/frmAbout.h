#pragma once

#include <QWidget>

#include <functional>

class QLabel;

namespace fenra {

// The small About window: a tool window with a close button only.
class frmAbout final : public QWidget {
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Called when the user closes the window.
    void setOnClosed(std::function<void()> onClosed) { m_onClosed = std::move(onClosed); }

    QLabel* lblTitle = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_onClosed;
};

} // namespace fenra
