#pragma once
// What the four media-object tools share: an OBJECT of a player's class id whose settings are
// PARAM children (a setting at its default leaves none) and whose last child is an EMBED twin
// for plug-in browsers. The design view shows the object as a placeholder; the dialogs read
// and write its stored node, and width, height and align also on the placeholder.

#include <span>

#include "ToolItem.h"

class QComboBox;

namespace zv {

// One setting: the control of that object name and the PARAM it is stored in.
struct TMediaParam {
    const char* Field;
    const char* Name;
    // A value equal to it (ignoring case) drops the PARAM; nullptr: dropped only when empty.
    const char* Default;
    // What a new object shows: a text, "true" or "false" for a check box, a number for a
    // track bar.
    const char* NewValue;
    // Another PARAM some pages keep the setting in: read and written there when the object
    // has it and not Name. nullptr: none.
    const char* Alias = nullptr;
};

struct TMediaPlayer {
    // New objects get the first; the tool edits objects of any of them (ignoring case).
    std::span<const char16_t* const> ClassIds;
    // Where browsers fetch the control; nullptr: no codebase attribute is written.
    const char16_t* CodeBase;
    // Set on the EMBED; nullptr: none.
    const char16_t* EmbedType;
    const char16_t* PluginsPage;
    // Shown when the movie field is empty on OK, unless the field named Instead (when not
    // nullptr) has text.
    const char* Required;
    const char* Instead;
    std::span<const TMediaParam> Params;
};

// The box of an object's placeholder: width, height and align, on the stored node too.
extern const std::span<const TField> ObjectBox;

// Check boxes are written as these words.
inline const char16_t* BoolWords(bool Value) { return Value ? u"true" : u"false"; }
// false for "false", true for "true" (ignoring case), Default for anything else.
bool ParamToBool(WideStringView Value, bool Default);

class TFormToolObjMedia : public TTagEditor {
    Q_OBJECT
public:
    void FormShow() override;
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;
    // The codebase, the PARAMs and the EMBED of one stored object.
    void WriteParams(THtmlTag* Node);

protected:
    TFormToolObjMedia(QWidget* Parent, const TMediaPlayer& Player);
    // After the layout is set up: the buttons, the key filters and the track bars' labels.
    void Setup(QDialogButtonBox* Buttons);
    // A setting's control shown from a PARAM value (Editing) or its new-object value.
    virtual void ShowParam(const TMediaParam& Param, const WideString& Value, bool Editing);
    // A setting's value as written.
    virtual WideString ParamValue(const TMediaParam& Param) const;
    // The stored object behind Element; nullptr when there is none.
    THtmlTag* StoredObject() const;
    QWidget* FieldOf(const TMediaParam& Param) const;

    const TMediaPlayer& Player;
    QLineEdit* EditMovie = nullptr;
};

class TToolObjMedia : public TToolItem {
public:
    TToolObjMedia(std::string Hint, int ImageIndex, const TMediaPlayer& Player)
        : TToolItem("IMG", std::move(Hint), ImageIndex, true, true), Player(Player)
    {
    }
    // A placeholder whose stored node is an object of one of the player's class ids.
    bool CanEdit(const THtmlElement& Element) override;

private:
    const TMediaPlayer& Player;
};

}  // namespace zv
