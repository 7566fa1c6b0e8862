#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace fenra {

// Questions the user answers before the program goes on.
class Questions {
public:
    virtual ~Questions() = default;

    enum class SaveChoice { Save, Discard, Cancel };
    // Unsaved changes are about to be lost.
    virtual SaveChoice askToSave(const QString& text) = 0;
    // Yes or no; no when the user closes the question.
    virtual bool confirm(const QString& text) = 0;
    // One of `items`; nothing when the user cancels.
    virtual std::optional<QString> chooseOne(const QString& text, const QStringList& items) = 0;
};

}   // namespace fenra
