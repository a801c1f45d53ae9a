#pragma once
// The class chooser of the ActiveX tool. There is no control registry here: the classes are
// those of the list shipped with the program (data file "classids.txt", one "id=name" a line,
// the id without braces; blank lines and lines starting with "#" are skipped).

#include <QDialog>
#include <QStringList>
#include <istream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Ui {
class FormSelectClassID;
}

namespace zv {

struct TClassEntry {
    QString Id;
    QString Name;
};
// The entries of a class list, sorted by name ignoring the case of ASCII letters; equal names
// keep the list's order. A line without "=" or with an empty id is skipped; an empty name is
// the id.
std::vector<TClassEntry> ReadClassList(std::istream& In);

class TFormSelectClassID : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelectClassID(QWidget* Parent = nullptr);
    ~TFormSelectClassID() override;

    // The list file; empty: "classids.txt" of the data folders.
    std::string ListFile;
    bool Loaded = false;
    QStringList ClassIds;
    QStringList ClassNames;
    // Closed with OK and a row chosen.
    bool Selected = false;

    // '' without a chosen row, else "clsid:" + its id. Fills the list when never filled.
    QString GetClassID();
    // Chooses the row whose id equals Value from its seventh character on (ignoring case);
    // no match chooses none. Fills the list when never filled.
    void SetClassID(const QString& Value);
    // Reads the list file again; a missing or unreadable file gives an empty list.
    void LoadClassList();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // The chosen row; -1 for none.
    int ChosenRow() const;
    void BtnOKClick();
    void BtnCancelClick();
    std::unique_ptr<Ui::FormSelectClassID> Form;
};

// The chooser, made on first use.
TFormSelectClassID& EnsureFormSelectClassID();

}  // namespace zv
