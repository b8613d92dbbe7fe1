#pragma once

#include "platform/dbctrls/DBRichEdit.h"

namespace vyn {

// The library's data-aware rich edit. SearchGlobal and RecordName are read by name by the
// search dialog: whether it offers the scopes that walk through records, and the word for one
// record in its captions.
class TVynDBRichEdit : public TDBRichEdit
{
    VYN_CLASS(TVynDBRichEdit, TDBRichEdit)
public:
    using TDBRichEdit::TDBRichEdit;

    bool SearchGlobal() const { return FSearchGlobal; }
    void SetSearchGlobal(bool Value) { FSearchGlobal = Value; }
    QString RecordName() const { return FRecordName; }
    void SetRecordName(const QString& Value) { FRecordName = Value; }

protected:
    // A character the field accepts starts the edit before the inherited handling (and the
    // control's OnKeyPress) sees it.
    void KeyPress(QChar& Key) override;
    void Loaded() override;

private:
    bool FSearchGlobal = false;
    QString FRecordName;
};

// Puts the control's dataset into edit mode without reloading the editor when the field has
// not changed: the editor keeps its content, caret, selection and formatting.
void BeginEditing(TVynDBRichEdit* Control);

} // namespace vyn
