#include "ToolBody.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QToolButton>
#include <unordered_set>

#include "DesignTree.h"
#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "HtmlUtils.h"
#include "PickUrls.h"
#include "UnitWebSafe.h"
#include "ui_ToolBody.h"

namespace zv {

namespace {

const char* const InitialRelations[] = {
    "Alternate", "StyleSheet", "Alternate StyleSheet", "Shortcut Icon", "Start",     "Next",
    "Prev",      "Contents",   "Index",                "Glossary",      "Copyright", "Chapter",
    "Section",   "Subsection", "Appendix",             "Help",          "Bookmark",
};

const char16_t* const DefaultGenerator = u"Zandovell v1.00";

QString ValueOf(const THtmlTag* Tag, THtmlAttrId Id) { return ToQString(GetStoredAttr(*Tag, Id)); }

WideString Field(const QLineEdit* Edit) { return Trim(ToWide(Edit->text())); }
WideString Field(const QPlainTextEdit* Memo) { return Trim(ToWide(Memo->toPlainText())); }

// Every "mailto:" (in any case) taken out, then trimmed.
WideString WithoutMailto(WideString Text)
{
    for (size_t At; (At = AsciiLowerCase(Text).find(u"mailto:")) != WideString::npos;) Text.erase(At, 7);
    return Trim(Text);
}

// The body's page attributes.
const TField BodyFields[] = {
    {"EditBackground", "background", TFieldKind::Url, TFieldHome::Both, nullptr, nullptr, nullptr, "BtnBackground", ukPicture},
    {"EditColor1", "bgcolor", TFieldKind::Colour, TFieldHome::Both, nullptr, nullptr, nullptr, "BtnColor1"},
    {"EditColor2", "text", TFieldKind::Colour, TFieldHome::Both, nullptr, nullptr, nullptr, "BtnColor2"},
    {"EditColor3", "link", TFieldKind::Colour, TFieldHome::Both, nullptr, nullptr, nullptr, "BtnColor3"},
    {"EditColor4", "vlink", TFieldKind::Colour, TFieldHome::Both, nullptr, nullptr, nullptr, "BtnColor4"},
    {"EditColor5", "alink", TFieldKind::Colour, TFieldHome::Both, nullptr, nullptr, nullptr, "BtnColor5"},
    {"EditMargin1", "leftmargin", TFieldKind::Number, TFieldHome::Both},
    {"EditMargin2", "topmargin", TFieldKind::Number, TFieldHome::Both},
    {"EditMargin3", "rightmargin", TFieldKind::Number, TFieldHome::Both},
    {"EditMargin4", "bottommargin", TFieldKind::Number, TFieldHome::Both},
};

THtmlTag* NewElement(THtmlTagId Kind, std::initializer_list<std::pair<THtmlAttrId, WideStringView>> Attributes)
{
    auto* Tag = new THtmlTag(Kind);
    for (const auto& [Id, Value] : Attributes)
        SetStoredAttr(*Tag, Id, Value);
    return Tag;
}

void SetTitleText(THtmlTag& Title, const WideString& Text)
{
    Title.Clear();
    Title.AddLast(new THtmlText(tagText, EscapeHtmlText(Text)));
}

}  // namespace

TFormToolBody::TFormToolBody(QWidget* Parent) : TFormTool(Parent)
{
    UseFields("body", {BodyFields});
    RegisterBrowseButton(Form->EditRefreshUrl, Form->BtnRefreshUrl, ukHtml);
    for (QAbstractButton* Button : {static_cast<QAbstractButton*>(Form->CheckRobot),
                                    static_cast<QAbstractButton*>(Form->CheckRefresh),
                                    static_cast<QAbstractButton*>(Form->RadioRefresh1),
                                    static_cast<QAbstractButton*>(Form->RadioRefresh2)})
        connect(Button, &QAbstractButton::toggled, this, &TFormToolBody::UpdateEnabling);
    connect(Form->Button3, &QPushButton::clicked, this, &TFormToolBody::WebSafeClick);

    QTableWidget* List = Form->ValueListEditor1;
    List->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    List->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    List->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Fixed);
    List->setColumnWidth(0, 150);
    List->setColumnWidth(2, 26);
    List->verticalHeader()->setDefaultSectionSize(22);
    ResetRelations();
}

TFormToolBody::~TFormToolBody() = default;

QTableWidget* TFormToolBody::Relations() const { return Form->ValueListEditor1; }

int TFormToolBody::AddRelation(const QString& Relation)
{
    QTableWidget* List = Form->ValueListEditor1;
    const int Row = List->rowCount();
    List->insertRow(Row);
    auto* Name = new QTableWidgetItem(Relation);
    Name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    List->setItem(Row, 0, Name);
    List->setItem(Row, 1, new QTableWidgetItem());
    auto* Browse = new QToolButton(List);
    Browse->setText("...");
    Browse->setToolTip(tr("Browse"));
    connect(Browse, &QToolButton::clicked, this, [this, Browse] {
        for (int R = 0; R < Form->ValueListEditor1->rowCount(); ++R)
            if (Form->ValueListEditor1->cellWidget(R, 2) == Browse) return BrowseRelation(R);
    });
    List->setCellWidget(Row, 2, Browse);
    return Row;
}

void TFormToolBody::ResetRelations()
{
    Form->ValueListEditor1->setRowCount(0);
    for (const char* Relation : InitialRelations) AddRelation(QString::fromLatin1(Relation));
}

void TFormToolBody::BrowseRelation(int Row)
{
    QTableWidget* List = Form->ValueListEditor1;
    if (Row < 0 || Row >= List->rowCount()) return;
    const WideString Relation = ToWide(List->item(Row, 0)->text());
    const int Kind = SameTextAscii(Relation, u"StyleSheet") || SameTextAscii(Relation, u"Alternate StyleSheet") ? ukCss
                     : SameTextAscii(Relation, u"Shortcut Icon")                                                 ? ukIcon
                                                                                                                 : ukHtml;
    std::string Url = List->item(Row, 1)->text().toStdString();
    if (PickUrl(Kind, FileName(), Url)) List->item(Row, 1)->setText(QString::fromStdString(Url));
}

void TFormToolBody::UpdateEnabling()
{
    const bool Robots = Form->CheckRobot->isChecked();
    Form->CheckIndex->setEnabled(Robots);
    Form->CheckFollow->setEnabled(Robots);
    const bool Refresh = Form->CheckRefresh->isChecked();
    Form->EditRefreshSec->setEnabled(Refresh);
    Form->RadioRefresh1->setEnabled(Refresh);
    Form->RadioRefresh2->setEnabled(Refresh);
    const bool Another = Form->RadioRefresh2->isEnabled() && Form->RadioRefresh2->isChecked();
    Form->EditRefreshUrl->setEnabled(Another);
    Form->BtnRefreshUrl->setEnabled(Another);
}

void TFormToolBody::FormShow()
{
    for (QLineEdit* Edit : findChildren<QLineEdit*>()) Edit->clear();
    Form->MemoDesc->clear();
    Form->MemoKeyword->clear();
    Form->ComboTarget->setCurrentIndex(-1);
    Form->ComboTarget->clearEditText();
    for (QCheckBox* Box : {Form->CheckRobot, Form->CheckIndex, Form->CheckFollow, Form->CheckRefresh})
        Box->setChecked(false);
    Form->EditRefreshSec->setText("10");
    Form->RadioRefresh1->setChecked(true);
    ResetRelations();
    Shown = {};
    Shown.Links.assign(Form->ValueListEditor1->rowCount(), nullptr);

    // the page's body, also when the dialog was not opened on it
    if (!Element && Designer && Designer->HasDocument()) Element = Designer->Document().body();
    ShowFields();
    THtmlRoot* Root = Designer ? Designer->StoredRoot() : nullptr;
    ShownRoot = Root;
    if (Root) {
        auto* Head = dynamic_cast<THtmlTag*>(Root->FindFirstOfKind(tagHead));
        for (THtmlNode* N = Head ? Head->FirstNode() : nullptr; N; N = N->NextNode()) {
            auto* Tag = dynamic_cast<THtmlTag*>(N);
            if (!Tag) continue;
            if (Tag->Kind() == tagMeta) {
                const WideString Name = Tag->GetAttribute(attrName);
                const QString Content = ValueOf(Tag, attrContent);
                if (SameTextAscii(Name, u"keywords")) {
                    Form->MemoKeyword->setPlainText(Content);
                    Shown.Keywords = Tag;
                } else if (SameTextAscii(Name, u"description")) {
                    Form->MemoDesc->setPlainText(Content);
                    Shown.Description = Tag;
                } else if (SameTextAscii(Name, u"author")) {
                    Form->EditAuthor->setText(Content);
                    Shown.Author = Tag;
                } else if (SameTextAscii(Name, u"robots")) {
                    Form->CheckRobot->setChecked(true);
                    for (const QString& Part : Content.split(',')) {
                        const QString Word = Part.trimmed().toLower();
                        if (Word == "index" || Word == "noindex") Form->CheckIndex->setChecked(Word == "index");
                        else if (Word == "follow" || Word == "nofollow") Form->CheckFollow->setChecked(Word == "follow");
                        else if (Word == "all" || Word == "none") {
                            Form->CheckIndex->setChecked(Word == "all");
                            Form->CheckFollow->setChecked(Word == "all");
                        }
                    }
                    Shown.Robots = Tag;
                } else if (Name.empty() && SameTextAscii(Tag->GetAttribute(attrHttpEquiv), u"Refresh")) {
                    Form->CheckRefresh->setChecked(true);
                    const qsizetype At = ToQString(AsciiLowerCase(ToWide(Content))).indexOf("; url=");
                    if (At >= 0) {
                        Form->RadioRefresh2->setChecked(true);
                        Form->EditRefreshSec->setText(Content.left(At));
                        Form->EditRefreshUrl->setText(Content.mid(At + 6));
                    } else {
                        Form->RadioRefresh1->setChecked(true);
                        bool Number = false;
                        const int Seconds = Content.trimmed().toInt(&Number);
                        Form->EditRefreshSec->setText(Number ? QString::number(Seconds) : QString("10"));
                    }
                    Shown.Refresh = Tag;
                }
            } else if (Tag->Kind() == tagTitle) {
                Form->EditTitle->setText(ToQString(Trim(GetPlainText(Tag, false))));
                Shown.Title = Tag;
            } else if (Tag->Kind() == tagLink) {
                const QString Rel = ValueOf(Tag, attrRel);
                if (!Rel.isEmpty()) {
                    int Row = 0;
                    QTableWidget* List = Form->ValueListEditor1;
                    while (Row < List->rowCount() && List->item(Row, 0)->text().compare(Rel, Qt::CaseInsensitive))
                        ++Row;
                    if (Row == List->rowCount()) {
                        AddRelation(Rel);
                        Shown.Links.push_back(nullptr);
                    }
                    List->item(Row, 1)->setText(ValueOf(Tag, attrHref));
                    Shown.Links[Row] = Tag;
                } else if (SameTextAscii(Tag->GetAttribute(attrRev), u"made")) {
                    Form->EditEmail->setText(ToQString(WithoutMailto(GetStoredAttr(*Tag, attrHref))));
                    Shown.Made = Tag;
                }
            } else if (Tag->Kind() == tagBase) {
                Form->EditBase->setText(ValueOf(Tag, attrHref));
                Form->ComboTarget->setEditText(ValueOf(Tag, attrTarget));
                Shown.Base = Tag;
            }
        }
    }
    ShownValues = HeadValues();
    UpdateEnabling();
    UpdateColorEdits();
    Form->PageControl1->setCurrentIndex(0);
}

TFormToolBody::THeadValues TFormToolBody::HeadValues() const
{
    THeadValues V;
    V.Title = Field(Form->EditTitle);
    if (Form->CheckRefresh->isChecked()) {
        V.Refresh = Field(Form->EditRefreshSec);
        if (Form->RadioRefresh2->isChecked()) V.Refresh += u"; url=" + Field(Form->EditRefreshUrl);
    }
    V.Author = Field(Form->EditAuthor);
    V.Description = Field(Form->MemoDesc);
    V.Keywords = Field(Form->MemoKeyword);
    if (Form->CheckRobot->isChecked()) {
        V.Robots = Form->CheckIndex->isChecked() ? u"index," : u"noindex,";
        V.Robots += Form->CheckFollow->isChecked() ? u"follow" : u"nofollow";
    }
    V.Email = WithoutMailto(ToWide(Form->EditEmail->text()));
    V.BaseHref = Field(Form->EditBase);
    V.BaseTarget = Trim(ToWide(Form->ComboTarget->currentText()));
    const QTableWidget* List = Form->ValueListEditor1;
    for (int Row = 0; Row < List->rowCount(); ++Row) V.Links.push_back(Trim(ToWide(List->item(Row, 1)->text())));
    return V;
}

WideString TFormToolBody::THeadValues::Base() const
{
    return BaseHref.empty() && BaseTarget.empty() ? WideString() : BaseHref + u'\n' + BaseTarget;
}

bool TFormToolBody::CheckFields()
{
    if (!Form->CheckRefresh->isChecked()) return true;
    if (Field(Form->EditRefreshSec).empty()) {
        Form->PageControl1->setCurrentWidget(Form->TabMisc);
        return FieldError(Form->EditRefreshSec, tr("Refresh time not specified yet."));
    }
    if (Form->RadioRefresh2->isChecked() && Field(Form->EditRefreshUrl).empty()) {
        Form->PageControl1->setCurrentWidget(Form->TabMisc);
        return FieldError(Form->EditRefreshUrl, tr("Refresh URL not specified yet."));
    }
    return true;
}

THtmlTag* TFormToolBody::StoredTag() const { return Designer ? Designer->StoredBody() : nullptr; }

void TFormToolBody::Apply()
{
    if (!Designer || !Designer->StoredRoot()) return;
    // the palette's undo group takes back the head, the page's body and its stored node
    Designer->KeepHead();
    if (const THtmlTag* Body = Designer->StoredBody())
        Designer->KeepStoredNode(Utf16ToUtf8(Body->GetAttribute(attrId)));
    WriteHead();
    if (ApplyFields()) Designer->Filter->UpdateBodyObject();
}

void TFormToolBody::WriteHead()
{
    THtmlRoot* Root = Designer->StoredRoot();
    const THeadValues V = HeadValues();
    auto* Head = dynamic_cast<THtmlTag*>(Root->FindFirstOfKind(tagHead));
    if (!Head) Head = Root->EnsureHead();

    // the elements read at the showing that are still in this head
    std::unordered_set<const THtmlNode*> Children;
    if (Root == ShownRoot)
        for (THtmlNode* N = Head->FirstNode(); N; N = N->NextNode()) Children.insert(N);
    auto Live = [&](THtmlTag* Node) { return Children.count(Node) ? Node : nullptr; };

    // Each element in turn, in the head's order: one whose value did not change stays as it
    // is and where it is; a new one goes after the element placed before it (first in the
    // head when there is none).
    THtmlTag* Previous = nullptr;
    auto Place = [&](THtmlTag* Node) {
        if (!Previous) Head->AddFirst(Node);
        else if (TLinkNode* Next = Previous->Next()) Next->InsertBefore(Node);
        else Head->AddLast(Node);
        Previous = Node;
    };
    auto Put = [&](THtmlTag* Node, const WideString& Value, const WideString& ShownValue, auto Make, auto Update) {
        Node = Live(Node);
        if (Value == ShownValue) {
            if (Node) Previous = Node;
        } else if (Value.empty()) {
            delete Node;
        } else if (Node) {
            Update(*Node);
            Previous = Node;
        } else {
            Place(Make());
        }
    };
    auto Content = [](const WideString& Value) {
        return [&Value](THtmlTag& Node) { SetStoredAttr(Node, attrContent, Value); };
    };
    auto Href = [](const WideString& Value) {
        return [&Value](THtmlTag& Node) { SetStoredAttr(Node, attrHref, Value); };
    };

    Put(Shown.Title, V.Title, ShownValues.Title,
        [&] {
            auto* Title = new THtmlTag(tagTitle);
            SetTitleText(*Title, V.Title);
            return Title;
        },
        [&](THtmlTag& Node) { SetTitleText(Node, V.Title); });
    Put(Shown.Refresh, V.Refresh, ShownValues.Refresh,
        [&] { return NewElement(tagMeta, {{attrHttpEquiv, u"Refresh"}, {attrContent, V.Refresh}}); }, Content(V.Refresh));

    // the generator is always there
    const WideString Generator = Designer->Generator().empty() ? WideString(DefaultGenerator) : Utf8ToUtf16(Designer->Generator());
    THtmlTag* GeneratorMeta = nullptr;
    for (THtmlNode* N = Head->FirstNode(); N && !GeneratorMeta; N = N->NextNode())
        if (N->Kind() == tagMeta && SameTextAscii(static_cast<THtmlTag*>(N)->GetAttribute(attrName), u"Generator"))
            GeneratorMeta = static_cast<THtmlTag*>(N);
    if (GeneratorMeta) {
        SetStoredAttr(*GeneratorMeta, attrContent, Generator);
        Previous = GeneratorMeta;
    } else {
        Place(NewElement(tagMeta, {{attrName, u"Generator"}, {attrContent, Generator}}));
    }

    Put(Shown.Author, V.Author, ShownValues.Author,
        [&] { return NewElement(tagMeta, {{attrName, u"Author"}, {attrContent, V.Author}}); }, Content(V.Author));
    Put(Shown.Description, V.Description, ShownValues.Description,
        [&] { return NewElement(tagMeta, {{attrName, u"Description"}, {attrContent, V.Description}}); },
        Content(V.Description));
    Put(Shown.Keywords, V.Keywords, ShownValues.Keywords,
        [&] { return NewElement(tagMeta, {{attrName, u"Keywords"}, {attrContent, V.Keywords}}); }, Content(V.Keywords));
    Put(Shown.Robots, V.Robots, ShownValues.Robots,
        [&] { return NewElement(tagMeta, {{attrName, u"Robots"}, {attrContent, V.Robots}}); }, Content(V.Robots));
    const WideString Mailto = V.Email.empty() ? WideString() : u"mailto:" + V.Email;
    Put(Shown.Made, V.Email, ShownValues.Email,
        [&] { return NewElement(tagLink, {{attrRev, u"Made"}, {attrHref, Mailto}}); }, Href(Mailto));
    const QTableWidget* List = Form->ValueListEditor1;
    for (size_t Row = 0; Row < V.Links.size(); ++Row) {
        const WideString Relation = ToWide(List->item(static_cast<int>(Row), 0)->text());
        const WideString& Url = V.Links[Row];
        Put(Row < Shown.Links.size() ? Shown.Links[Row] : nullptr, Url,
            Row < ShownValues.Links.size() ? ShownValues.Links[Row] : WideString(),
            [&] { return NewElement(tagLink, {{attrRel, Relation}, {attrHref, Url}}); }, Href(Url));
    }
    Put(Shown.Base, V.Base(), ShownValues.Base(),
        [&] { return NewElement(tagBase, {{attrHref, V.BaseHref}, {attrTarget, V.BaseTarget}}); },
        [&](THtmlTag& Node) {
            SetStoredAttr(Node, attrHref, V.BaseHref);
            SetStoredAttr(Node, attrTarget, V.BaseTarget);
        });
    // the next showing reads the head as it is now
    ShownRoot = nullptr;
}

void TFormToolBody::WebSafeClick()
{
    TFormWebSafe* Chooser = WebSafeForm();
    QLineEdit* const Colors[] = {Form->EditColor1, Form->EditColor2, Form->EditColor3, Form->EditColor4, Form->EditColor5};
    void (TFormWebSafe::*const Setters[])(TColor) = {&TFormWebSafe::SetBgColor, &TFormWebSafe::SetTextColor,
                                                    &TFormWebSafe::SetLinkColor, &TFormWebSafe::SetVLinkColor,
                                                    &TFormWebSafe::SetALinkColor};
    for (int K = 0; K < 5; ++K)
        if (const WideString Text = Field(Colors[K]); !Text.empty()) (Chooser->*Setters[K])(HtmlColorToColor(Text));
    if (Chooser->exec() != QDialog::Accepted) return;
    const TColor Chosen[] = {Chooser->BgColor(), Chooser->TextColor(), Chooser->LinkColor(), Chooser->VLinkColor(),
                             Chooser->ALinkColor()};
    for (int K = 0; K < 5; ++K) Colors[K]->setText(ToQString(ColorToHtmlName(Chosen[K])));
    UpdateColorEdits();
}

}  // namespace zv
