#pragma once
// The select tools: a drop-down box and a list box sharing one dialog, whose choices are
// plain text, one choice a line with TAB-separated fields, optionally grouped:
//
//   CHOICE <TAB> VALUE <TAB> SELECTED     a choice; "selected" (any case) selects it; two TABs
//                                         before "selected" leave the value out
//   GROUP                                 grouped: a line without TAB opens a group
//   <TAB> CHOICE <TAB> VALUE ...          grouped: a choice of the open group
//
// In grouped choices a line with text before a TAB is a choice outside any group. Text and
// values keep their references as written.

#include <memory>
#include <vector>

#include "ToolItem.h"

namespace Ui {
class FormToolSelect;
}

namespace zv {

class THtmlRoot;

class TFormToolSelect : public TFormTool<Ui::FormToolSelect> {
    Q_OBJECT
public:
    // The dialog of the drop-down tool when Combo is set, else of the list tool.
    explicit TFormToolSelect(bool Combo, QWidget* Parent = nullptr);
    ~TFormToolSelect() override;

    void FormShow() override;
    // The name is required.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    // The select's own attributes in place; its options anew only when the choices changed.
    void Apply() override;

    // Fills the memo and the grouped box from the HTML of a select.
    void LoadChoices(WideStringView Html);
    // The options of the memo, each on a line of its own; empty for a memo of blanks.
    WideString BuildOptions() const;
    static WideString OptionHtml(WideStringView Text, WideStringView Value, bool Selected);
    // Shows the help in place of the memo, or the memo again.
    void ToggleHelp();

    // Serving the drop-down tool.
    const bool Combo = true;

private:
    // The option of a choice line, or its optgroup for a group line: as it was shown when
    // the line is unchanged, else the line's text and value with the node's other
    // attributes; '' for a line that no shown node stands for.
    WideString ShownNodeHtml(int Shown, const QString& Line, bool Group) const;
    // For each line of the memo, the line shown at that place whose node it keeps; -1 for a
    // new line.
    std::vector<int> PairWithShownLines(const QStringList& Lines, bool Grouped) const;

    QString ShownChoices;
    QString ShownLines;
    bool ShownGrouped = false;
    bool ShownMultiple = false;
    // The select read at the showing, and the option or optgroup of each memo line then
    std::shared_ptr<THtmlRoot> ShownTree;
    std::vector<THtmlTag*> ShownNodes;
    QStringList ShownChoiceLines;
};

class TToolSelectCombo : public TToolItem {
public:
    TToolSelectCombo() : TToolItem("SELECT", "Insert Input Combobox", 21, true, false) {}
    bool CanEdit(const THtmlElement& Element) override;
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolSelect>(true); }
};

class TToolSelectList : public TToolItem {
public:
    TToolSelectList() : TToolItem("SELECT", "Insert Input Listbox", 27, true, false) {}
    bool CanEdit(const THtmlElement& Element) override;
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolSelect>(false); }
};

}  // namespace zv
