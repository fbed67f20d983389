#include "settings/my_spinbox.h"
#include "ui_my_spinbox.h"

my_spinbox::my_spinbox(float value, float minimum, float maximum, float step, QWidget *parent)
    : QWidget(parent), ui(new Ui::my_spinbox)
{
    ui->setupUi(this);
    m_value = value;
    m_minimum = minimum;
    m_maximum = maximum;
    m_step = step;
}

my_spinbox::~my_spinbox()
{
    delete ui;
}

void my_spinbox::setValue(float v)
{
    m_value = v;
    showNumber(v);
}

float my_spinbox::value()
{
    m_value = ui->lineEdit->text().toFloat();
    return m_value;
}

QString my_spinbox::text() const
{
    return ui->lineEdit->text();
}

// Text, step and limits are floats; the step is added and the limit compared
// in double precision, and the result is shown without going back to a float.
void my_spinbox::on_toolButton_clicked()
{
    const double stepped = double(ui->lineEdit->text().toFloat()) - double(m_step);
    showNumber(double(m_minimum) <= stepped ? stepped : double(m_minimum));
}

// Text typed above the maximum is brought back to it; below the minimum it
// climbs by one step.
void my_spinbox::on_toolButton_2_clicked()
{
    const double stepped = double(ui->lineEdit->text().toFloat()) + double(m_step);
    showNumber(stepped > double(m_maximum) ? double(m_maximum) : stepped);
}

void my_spinbox::showNumber(double number)
{
    ui->lineEdit->setText(QString::number(number, 'g', 6));
}
