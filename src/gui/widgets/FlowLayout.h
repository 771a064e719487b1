#pragma once

#include <QLayout>
#include <QList>

// A row of boxes that goes on over as many lines as the width needs: on a
// narrow screen or at a large scale a page grows taller instead of cutting a
// box off at its side. The items of a line share its spare width and its
// height, so a row that fits looks as a plain row does.
class FlowLayout final : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    void addLayout(QLayout* layout);
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the items out in rect (only measures when place is false) and
    // returns the height they take.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> m_items;
};
