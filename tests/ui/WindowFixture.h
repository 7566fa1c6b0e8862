#pragma once

#include "engine/RandomSource.h"
#include "support/FakePlatform.h"
#include "ui/frmfenra.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace fenra::test {

// The real main window over fake services, shown on the offscreen screen.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<frmfenra>(fake.platform(), random);
        window->show();
    }

    // Writes the same texts into all six coefficient boxes of a set.
    void setCoefficients(int set, const std::array<const char*, 6>& texts)
    {
        for (int j = 1; j <= 6; ++j)
            window->coefficientBox(set, j)->setText(QString::fromLatin1(texts[std::size_t(j - 1)]));
    }

    int litPixels() const;
    std::vector<bool> framesShown() const;

    FakePlatform fake;
    Pcg32Source random{42};
    std::unique_ptr<frmfenra> window;
};

} // namespace fenra::test
