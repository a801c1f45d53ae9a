#pragma once
// The design view's hyperlink dialog: one address, filled in with the link already there.

#include <QDialog>
#include <memory>

namespace Ui {
class FormHyperlink;
}

namespace zv {

class TFormHyperlink : public QDialog {
    Q_OBJECT

public:
    explicit TFormHyperlink(QWidget* Parent = nullptr);
    ~TFormHyperlink() override;

    QString Url() const;
    void SetUrl(const QString& Url);

    // Shows the dialog with Url; on OK the answer is true and Url holds the trimmed address,
    // which is never empty.
    bool Execute(QString& Url);

private:
    std::unique_ptr<Ui::FormHyperlink> Form;
};

}  // namespace zv
