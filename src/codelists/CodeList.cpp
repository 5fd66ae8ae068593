#include "codelists/CodeList.h"

#include "controls/IBCheckBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "forms/FormEditor.h"

#include <QLabel>

#include <algorithm>

TQDLColumn CodeListColumn(const QString& field, const QString& title, int width, const QString& orderBy,
                          Qt::Alignment alignment)
{
    TQDLColumn c;
    c.FieldName = field;
    c.TitleCaption = title;
    c.Width = width;
    c.OrderBy = orderBy;
    c.Alignment = alignment;
    c.AutoSizeAlignment = !(alignment & Qt::AlignHCenter);
    return c;
}

TIBEdit* AddEditorEdit(QWidget* parent, const QString& name, const QString& label, int labelX, int x, int y,
                       int width, int maxLength, bool required)
{
    auto* edit = new TIBEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    edit->setRequired(required);
    edit->setGeometry(x, y, width, 21);
    auto* caption = new QLabel(label, parent);
    caption->setObjectName(QStringLiteral("lbl") + name.mid(1));
    caption->setGeometry(labelX, y, x - labelX - 4, 21);
    caption->setBuddy(edit);
    return edit;
}

TIBCheckBox* AddEditorCheck(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                            int width)
{
    auto* check = new TIBCheckBox(caption, parent);
    check->setObjectName(name);
    // As wide as its caption and box, at most `width`: the box sits right
    // after the caption.
    check->setGeometry(x, y, std::min(width, check->sizeHint().width()), 21);
    return check;
}

void UpperCaseEdit(TIBEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper.left(edit->maxLength()));
        edit->setCursorPosition(cursor);
    });
}

void LayOutEditor(TFormEditor* editor, int width, int height)
{
    editor->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    editor->setFixedSize(width, height);
    constexpr int buttonWidth = 95, buttonHeight = 27, gap = 6, margin = 8;
    const int top = height - buttonHeight - margin;
    int x = width - margin - buttonWidth;
    for (TQDLBtn* b : {editor->btnNezapis, editor->btnZapis, editor->btnDalsi}) {
        if (!b)
            continue;
        b->setGeometry(x, top, buttonWidth, buttonHeight);
        x -= buttonWidth + gap;
    }
}

