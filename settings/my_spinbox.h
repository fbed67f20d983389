#pragma once
// The numeric entry of the working-mode table: a free-text line edit between a
// down and an up button. The buttons step the shown number and keep the result
// within the limits; typed text is taken as it is.

#include <QWidget>

namespace Ui {
class my_spinbox;
}

class my_spinbox : public QWidget
{
    Q_OBJECT

public:
    // The line edit shows "0" until setValue: the start value is only kept.
    my_spinbox(float value, float minimum, float maximum, float step, QWidget *parent = nullptr);
    ~my_spinbox() override;

    // Shows v with at most six significant digits ("0.00051", "200").
    void setValue(float v);
    // The shown text as a number, 0 when it is none; the limits are not applied.
    float value();
    // The shown text, as the user left it.
    QString text() const;

private slots:
    void on_toolButton_clicked();
    void on_toolButton_2_clicked();

private:
    void showNumber(double number);

    float m_value;
    float m_minimum;
    float m_maximum;
    float m_step;
    Ui::my_spinbox *ui;
};
