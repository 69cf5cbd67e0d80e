#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QStyleOptionComboBox;

// Customer input: a free-text edit with a drop button and a pop-up list of the known names.
// Typing narrows the list to the names that contain the typed text or, with PyEnable, whose
// pinyin initials contain it ("zs" finds 张三). The pop-up never takes the focus, so typing
// goes on in the edit while it is open.
class TSpTBXIECombobox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ items WRITE setItems)
    Q_PROPERTY(bool PyEnable READ pyEnable WRITE setPyEnable)
    Q_PROPERTY(int DropDownCount READ dropDownCount WRITE setDropDownCount)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged USER true)

public:
    explicit TSpTBXIECombobox(QWidget *parent = nullptr);
    ~TSpTBXIECombobox() override;

    QStringList items() const { return m_items; }
    void setItems(const QStringList &items);
    void addItem(const QString &item);
    void clearItems();

    bool pyEnable() const { return m_pyEnable; }
    void setPyEnable(bool enable) { m_pyEnable = enable; }
    // Most rows the pop-up shows before it scrolls; at least 1.
    int dropDownCount() const { return m_dropDownCount; }
    void setDropDownCount(int count);

    QString text() const;
    // Does not open the pop-up; only the user's typing does.
    void setText(const QString &text);
    QLineEdit *lineEdit() const { return m_edit; }

    // What the drop button does: closes an open pop-up, else opens it with every item.
    void TogglePopup();
    void ClosePopup();
    bool PopupVisible() const;
    // The rows the pop-up lists now, and the selected row (-1 for none).
    QStringList PopupItems() const;
    int PopupCurrentRow() const;
    // The pop-up window itself (a list box), for placement checks and mouse tests.
    QListWidget *PopupList() const { return m_list; }
    // Height of one pop-up row.
    int ItemHeight() const;
    // Where the drop button is, in this widget's coordinates.
    QRect DropButtonRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void textChanged(const QString &text);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void UserEdited(const QString &text);
    void FillList(const QString &typed);
    void ShowPopup();
    void MoveSelection(int step);
    void ChooseRow(int row);
    bool HandleEditKey(QKeyEvent *event);
    bool IsOwnWidget(const QWidget *widget) const;
    QStyleOptionComboBox StyleOption() const;
    void PlaceEdit();

    QLineEdit *m_edit;
    QListWidget *m_list;
    QStringList m_items;
    // Lower-cased items and their lower-cased initials, worked out once per item list.
    QStringList m_lowerItems;
    QStringList m_lowerInitials;
    bool m_pyEnable = true;
    int m_dropDownCount = 12;
    bool m_filterInstalled = false;
};
