#pragma once
// The template chooser: the previews of the template files in the "Templates" data folder.

#include <memory>
#include <string>

#include <QDialog>

class QListWidget;

namespace Ui {
class FormTemplate;
}

namespace zv {

class TFormTemplate : public QDialog {
    Q_OBJECT

public:
    explicit TFormTemplate(QWidget* Parent = nullptr);
    ~TFormTemplate() override;

    // The folder listed on the first show; found among the data folders when left empty.
    std::string TemplateFolder;
    bool Loaded = false;       // the list has been filled
    bool Accepted = false;     // the dialog ended with a choice
    std::string TemplateFile;  // full path of the chosen file

    QListWidget* List() const;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void LoadTemplates();
    void OkClick();
    void CancelClick();

    std::unique_ptr<Ui::FormTemplate> Form;
};

}  // namespace zv
