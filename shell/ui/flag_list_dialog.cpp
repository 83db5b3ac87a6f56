#include "shell/ui/flag_list_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

FlagListDialog::FlagListDialog(QWidget* window, const FlagListRequest& request) : QDialog(window)
{
    setWindowTitle(request.title);
    auto* grid = new QGridLayout(this);

    // Row 0: the icon of the kind and the text, as a message box shows them.
    auto* icon = new QLabel(this);
    icon->setObjectName("label_icon");
    const QStyle::StandardPixmap kind
            = request.severity == Severity::Critical ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning;
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(kind, nullptr, this).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    grid->addWidget(icon, 0, 0);
    auto* text = new QLabel(request.text, this);
    text->setObjectName("label_text");
    grid->addWidget(text, 0, 1, 1, 3);

    // Row 2: the codes, one label each, in a scroll area.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("scroll_codes");
    scroll->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    scroll->setWidgetResizable(true);
    auto* contents = new QWidget(scroll);
    auto* column = new QVBoxLayout(contents);
    for (const QString& line : request.lines) {
        auto* label = new QLabel(line, contents);
        column->addWidget(label);
        lineLabels.append(label);
    }
    column->addItem(new QSpacerItem(10, 10, QSizePolicy::Expanding, QSizePolicy::Expanding));
    scroll->setWidget(contents);
    grid->addWidget(scroll, 2, 0, 1, 4);
    if (window) {
        grid->setColumnMinimumWidth(2, window->width() / 3);
        grid->setRowMinimumHeight(2, window->height() / 4);
    }

    // Row 3: Ok.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, 3, 3);
}

QStringList FlagListDialog::listedLines() const
{
    QStringList lines;
    for (const QLabel* label : lineLabels)
        lines.append(label->text());
    return lines;
}
