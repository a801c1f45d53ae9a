#include "UnitTemplate.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include <QCollator>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>

#include "DataFiles.h"
#include "JpegImages.h"
#include "TemplateFiles.h"
#include "ui_UnitTemplate.h"

namespace fs = std::filesystem;

namespace zv {

namespace {

// The preview fitted into a white tile of the list's icon size, with a thin frame.
QPixmap PreviewTile(const std::vector<uint8_t>& Preview)
{
    QPixmap tile(TemplatePreviewWidth, TemplatePreviewHeight);
    tile.fill(Qt::white);
    QPainter painter(&tile);
    const QImage image = TJpegImage(Preview).ToImage();
    if (!image.isNull()) {
        const QImage fitted = image.scaled(tile.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage((tile.width() - fitted.width()) / 2, (tile.height() - fitted.height()) / 2, fitted);
    }
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(0, 0, tile.width() - 1, tile.height() - 1);
    return tile;
}

bool IsTemplateFile(const fs::directory_entry& Entry)
{
    std::error_code error;
    if (!Entry.is_regular_file(error))
        return false;
    std::string extension = Entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".tpl";
}

}  // namespace

TFormTemplate::TFormTemplate(QWidget* Parent) : QDialog(Parent), Form(std::make_unique<Ui::FormTemplate>())
{
    Form->setupUi(this);
    connect(Form->ButtonOk, &QPushButton::clicked, this, &TFormTemplate::OkClick);
    connect(Form->ButtonCancel, &QPushButton::clicked, this, &TFormTemplate::CancelClick);
}

TFormTemplate::~TFormTemplate() = default;

QListWidget* TFormTemplate::List() const
{
    return Form->ListTemplates;
}

void TFormTemplate::showEvent(QShowEvent* Event)
{
    if (!Loaded) {
        LoadTemplates();
        Loaded = true;
    }
    Accepted = false;
    QDialog::showEvent(Event);
}

void TFormTemplate::LoadTemplates()
{
    if (TemplateFolder.empty())
        TemplateFolder = FindDataFolder("Templates");
    if (TemplateFolder.empty())
        return;

    // file names are bytes: one that is no valid UTF-8 must still open as it is named
    struct TItem {
        QString Caption;
        QByteArray Path;
        QPixmap Tile;
    };
    std::vector<TItem> items;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(TemplateFolder, error)) {
        if (!IsTemplateFile(entry))
            continue;
        // A damaged template is left out; the others are still offered.
        TTemplateReader reader(entry.path().string());
        try {
            reader.ReadHeader();
        } catch (const std::exception&) {
            continue;
        }
        items.push_back({QFile::decodeName(entry.path().stem().c_str()),
                         QByteArray::fromStdString(reader.FileName), PreviewTile(reader.Preview)});
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(items.begin(), items.end(),
              [&](const TItem& A, const TItem& B) { return collator.compare(A.Caption, B.Caption) < 0; });
    for (const TItem& item : items) {
        auto* listItem = new QListWidgetItem(QIcon(item.Tile), item.Caption, Form->ListTemplates);
        listItem->setData(Qt::UserRole, item.Path);
    }
}

void TFormTemplate::OkClick()
{
    const QList<QListWidgetItem*> selected = Form->ListTemplates->selectedItems();
    if (selected.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Warning"),
                             QStringLiteral("To continue, you have to select a template first."), QMessageBox::Ok);
        return;
    }
    TemplateFile = selected.first()->data(Qt::UserRole).toByteArray().toStdString();
    Accepted = true;
    accept();
}

void TFormTemplate::CancelClick()
{
    Accepted = false;
    reject();
}

}  // namespace zv
