#pragma once

#include <QButtonGroup>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>

namespace kelvra {

// A round status lamp: red while its bit is set, lime while it is clear.
class Lamp : public QWidget {
    Q_OBJECT
public:
    Lamp(const QString& name, QWidget* parent = nullptr) : QWidget(parent) {
        setObjectName(name);
        setFixedSize(16, 16);
    }
    QColor color() const { return color_; }
    void setColor(const QColor& c) {
        if (c != color_) {
            color_ = c;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::black);
        p.setBrush(color_);
        p.drawEllipse(rect().adjusted(1, 1, -1, -1));
    }

private:
    QColor color_ = QColor(0, 255, 0);
};

// An edit with its caption above it; the edit carries the component's name.
class LabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    LabeledEdit(const QString& name, const QString& caption, QWidget* parent = nullptr)
        : QLineEdit(parent), label_(new QLabel(caption, parent)) {
        setObjectName(name);
        label_->setObjectName(name + QStringLiteral("Label"));
        label_->setBuddy(this);
    }
    QLabel* label() const { return label_; }

    // The caption above the edit, in a small column.
    QWidget* WithLabel(QWidget* parent) {
        auto* box = new QWidget(parent);
        auto* l = new QVBoxLayout(box);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(1);
        label_->setParent(box);
        setParent(box);
        l->addWidget(label_);
        l->addWidget(this);
        return box;
    }

private:
    QLabel* label_;
};

// A captioned group of radio buttons with one selected index (-1: none).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& name, const QString& caption, const QStringList& items,
               QWidget* parent = nullptr)
        : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
        setObjectName(name);
        auto* l = new QVBoxLayout(this);
        for (int i = 0; i < items.size(); ++i) {
            auto* b = new QRadioButton(items[i], this);
            b->setObjectName(name + QString::number(i));
            buttons_->addButton(b, i);
            l->addWidget(b);
        }
    }
    int itemIndex() const { return buttons_->checkedId(); }
    void setItemIndex(int index) {
        if (index < 0) {
            buttons_->setExclusive(false);
            for (QAbstractButton* b : buttons_->buttons())
                b->setChecked(false);
            buttons_->setExclusive(true);
        } else if (QAbstractButton* b = buttons_->button(index)) {
            b->setChecked(true);
        }
    }
    QAbstractButton* item(int index) const { return buttons_->button(index); }

private:
    QButtonGroup* buttons_;
};

}  // namespace kelvra
