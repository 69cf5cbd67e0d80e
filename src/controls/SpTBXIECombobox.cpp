#include "SpTBXIECombobox.h"

#include "InputText.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

TSpTBXIECombobox::TSpTBXIECombobox(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_list(new QListWidget(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setAttribute(Qt::WA_InputMethodEnabled);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    m_edit->setFrame(false);
    setFocusProxy(m_edit);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &TSpTBXIECombobox::UserEdited);
    connect(m_edit, &QLineEdit::textChanged, this, &TSpTBXIECombobox::textChanged);

    // A tool-tip window shows above everything without being activated, and refusing focus
    // keeps the keyboard in the edit even while the list is clicked.
    m_list->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setMouseTracking(true);
    m_list->setUniformItemSizes(true);
    m_list->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_list->setLineWidth(1);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFont(font());
    // The list never has focus; keep its selection in the active colours all the same.
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(
        QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Active, QPalette::HighlightedText));
    m_list->setPalette(palette);
    connect(
        m_list, &QListWidget::entered, this, [this](const QModelIndex &index) { m_list->setCurrentRow(index.row()); });
    connect(m_list, &QListWidget::clicked, this, [this](const QModelIndex &index) { ChooseRow(index.row()); });

    PlaceEdit();
}

TSpTBXIECombobox::~TSpTBXIECombobox()
{
    if (m_filterInstalled)
        qApp->removeEventFilter(this);
}

void TSpTBXIECombobox::setItems(const QStringList &items)
{
    ClosePopup();
    clearItems();
    for (const QString &item : items)
        addItem(item);
}

void TSpTBXIECombobox::addItem(const QString &item)
{
    m_items.append(item);
    m_lowerItems.append(item.toLower());
    m_lowerInitials.append(InputText::PinyinInitials(item).toLower());
}

void TSpTBXIECombobox::clearItems()
{
    m_items.clear();
    m_lowerItems.clear();
    m_lowerInitials.clear();
}

void TSpTBXIECombobox::setDropDownCount(int count)
{
    m_dropDownCount = std::max(1, count);
}

QString TSpTBXIECombobox::text() const
{
    return m_edit->text();
}

void TSpTBXIECombobox::setText(const QString &text)
{
    m_edit->setText(text);
    // An open list follows the text, but only the user's typing opens it.
    if (PopupVisible()) {
        if (text.isEmpty()) {
            ClosePopup();
        } else {
            FillList(text);
            ShowPopup();
        }
    }
}

void TSpTBXIECombobox::TogglePopup()
{
    if (PopupVisible()) {
        ClosePopup();
        return;
    }
    FillList(QString());
    ShowPopup();
}

void TSpTBXIECombobox::ClosePopup()
{
    if (m_filterInstalled) {
        qApp->removeEventFilter(this);
        m_filterInstalled = false;
    }
    if (!m_list->isVisible())
        return;
    m_list->hide();
    m_edit->end(false);
    update();
}

bool TSpTBXIECombobox::PopupVisible() const
{
    return m_list->isVisible();
}

QStringList TSpTBXIECombobox::PopupItems() const
{
    QStringList rows;
    rows.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i)
        rows.append(m_list->item(i)->text());
    return rows;
}

int TSpTBXIECombobox::PopupCurrentRow() const
{
    return m_list->currentRow();
}

int TSpTBXIECombobox::ItemHeight() const
{
    return m_list->fontMetrics().height() + 4;
}

QRect TSpTBXIECombobox::DropButtonRect() const
{
    const QStyleOptionComboBox option = StyleOption();
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
}

QSize TSpTBXIECombobox::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const QSize content(metrics.horizontalAdvance(QString(12, u'x')), std::max(metrics.height(), 14) + 2);
    const QStyleOptionComboBox option = StyleOption();
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this);
}

QSize TSpTBXIECombobox::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const QSize content(metrics.horizontalAdvance(QString(3, u'x')), std::max(metrics.height(), 14) + 2);
    const QStyleOptionComboBox option = StyleOption();
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this);
}

bool TSpTBXIECombobox::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
        update();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool TSpTBXIECombobox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return HandleEditKey(static_cast<QKeyEvent *>(event));
        case QEvent::ShortcutOverride: {
            // While the list is open its keys must reach the edit, not the dialog's Esc and
            // Enter commands.
            if (!PopupVisible())
                break;
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
                break;
            switch (key->key()) {
            case Qt::Key_Escape:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Up:
            case Qt::Key_Down:
                event->accept();
                return true;
            default:
                break;
            }
            break;
        }
        case QEvent::FocusOut:
            ClosePopup();
            update();
            break;
        case QEvent::FocusIn:
            update();
            break;
        default:
            break;
        }
        return QWidget::eventFilter(watched, event);
    }

    // The application-wide watch, in place only while the list is open.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress: {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && !IsOwnWidget(widget))
            ClosePopup();
        break;
    }
    case QEvent::ApplicationDeactivate:
        ClosePopup();
        break;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent *>(event)->applicationState() != Qt::ApplicationActive)
            ClosePopup();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // The list would be left behind by its window.
        if (watched == window())
            ClosePopup();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TSpTBXIECombobox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    const QStyleOptionComboBox option = StyleOption();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
}

void TSpTBXIECombobox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QStyleOptionComboBox option = StyleOption();
    const QStyle::SubControl hit
        = style()->hitTestComplexControl(QStyle::CC_ComboBox, &option, event->position().toPoint(), this);
    if (hit == QStyle::SC_ComboBoxArrow) {
        m_edit->setFocus(Qt::MouseFocusReason);
        TogglePopup();
    }
    event->accept();
}

void TSpTBXIECombobox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceEdit();
    if (PopupVisible())
        ShowPopup();
}

void TSpTBXIECombobox::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
        m_list->setFont(font());
        updateGeometry();
        PlaceEdit();
        break;
    case QEvent::StyleChange:
        updateGeometry();
        PlaceEdit();
        break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            ClosePopup();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TSpTBXIECombobox::hideEvent(QHideEvent *event)
{
    ClosePopup();
    QWidget::hideEvent(event);
}

void TSpTBXIECombobox::UserEdited(const QString &text)
{
    if (text.isEmpty()) {
        ClosePopup();
        return;
    }
    FillList(text);
    ShowPopup();
}

void TSpTBXIECombobox::FillList(const QString &typed)
{
    m_list->clear();
    const QString key = typed.toLower();
    const QSize rowSize(0, ItemHeight());
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (key.isEmpty() || m_lowerItems.at(i).contains(key) || (m_pyEnable && m_lowerInitials.at(i).contains(key))) {
            auto *row = new QListWidgetItem(m_items.at(i), m_list);
            row->setSizeHint(rowSize);
        }
    }
    m_list->setCurrentRow(m_list->count() == 1 ? 0 : -1);
}

void TSpTBXIECombobox::ShowPopup()
{
    const int rows = m_list->count();
    const int height = rows == 0 ? ItemHeight() : ItemHeight() * std::min(rows, m_dropDownCount) + 5;
    QPoint position = mapToGlobal(QPoint(0, this->height()));
    // Under the input unless the screen ends first and there is room above.
    if (const QScreen *shown = screen()) {
        const QRect area = shown->availableGeometry();
        const QPoint above = mapToGlobal(QPoint(0, 0)) - QPoint(0, height);
        if (position.y() + height > area.bottom() + 1 && above.y() >= area.top())
            position = above;
    }
    m_list->setGeometry(QRect(position, QSize(width(), height)));
    if (!m_list->isVisible()) {
        m_list->show();
        m_list->raise();
    }
    if (m_list->currentItem())
        m_list->scrollToItem(m_list->currentItem());
    if (!m_filterInstalled) {
        qApp->installEventFilter(this);
        m_filterInstalled = true;
    }
    update();
}

void TSpTBXIECombobox::MoveSelection(int step)
{
    const int count = m_list->count();
    if (count == 0)
        return;
    const int current = m_list->currentRow();
    int next = 0;
    if (step > 0)
        next = (current < 0 || current >= count - 1) ? 0 : current + 1;
    else
        next = current <= 0 ? count - 1 : current - 1;
    m_list->setCurrentRow(next);
    m_list->scrollToItem(m_list->item(next));
}

void TSpTBXIECombobox::ChooseRow(int row)
{
    const QListWidgetItem *chosen = m_list->item(row);
    const QString chosenText = chosen ? chosen->text() : QString();
    ClosePopup();
    if (chosen) {
        m_edit->setText(chosenText);
        m_edit->end(false);
    }
}

bool TSpTBXIECombobox::HandleEditKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (modifiers == Qt::AltModifier) {
            TogglePopup();
            return true;
        }
        if (modifiers != Qt::NoModifier)
            return false;
        if (PopupVisible())
            MoveSelection(event->key() == Qt::Key_Down ? 1 : -1);
        return true;
    case Qt::Key_F4:
        if (modifiers != Qt::NoModifier)
            return false;
        TogglePopup();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A closed list leaves Enter to the dialog's default button.
        if (!PopupVisible() || modifiers != Qt::NoModifier)
            return false;
        ChooseRow(m_list->currentRow());
        return true;
    case Qt::Key_Escape:
        if (!PopupVisible())
            return false;
        ClosePopup();
        return true;
    default:
        return false;
    }
}

bool TSpTBXIECombobox::IsOwnWidget(const QWidget *widget) const
{
    return widget == this || isAncestorOf(widget) || widget == m_list || m_list->isAncestorOf(widget);
}

QStyleOptionComboBox TSpTBXIECombobox::StyleOption() const
{
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.frame = true;
    option.subControls = QStyle::SC_All;
    if (PopupVisible()) {
        option.state |= QStyle::State_On | QStyle::State_Sunken;
        option.activeSubControls = QStyle::SC_ComboBoxArrow;
    } else if (underMouse()) {
        const QPoint mouse = mapFromGlobal(QCursor::pos());
        if (style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this).contains(mouse))
            option.activeSubControls = QStyle::SC_ComboBoxArrow;
    }
    return option;
}

void TSpTBXIECombobox::PlaceEdit()
{
    const QStyleOptionComboBox option = StyleOption();
    m_edit->setGeometry(style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this));
}
