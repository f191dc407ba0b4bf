#pragma once

#include <QDialog>

class CodeCombo;
class NumberBox;
class QLineEdit;
class QPushButton;

// Converts an amount from its currency into another by the rates of the currency list
// (units of a currency per US dollar).
class TDLGchangeBZ : public QDialog
{
    Q_OBJECT

public:
    TDLGchangeBZ(double amount, const QString &currency, QWidget *parent = nullptr);

    // Runs the dialog; on a confirmed conversion `amount` and `currency` become the converted
    // amount and the target currency and the result is true.
    static bool Convert(QWidget *parent, double &amount, QString &currency);

    double targetAmount() const;
    QString targetCurrency() const;
    QString rateLine() const;

private:
    static double rateOf(const QString &currency);
    void recalculate();
    void convert();

    QString m_currency;
    double m_sourceAmount = 0;
    double m_targetAmount = 0;
    double m_sourceRate = 0;
    double m_targetRate = 0;
    NumberBox *cePrice1;
    QLineEdit *edtType1;
    NumberBox *cePrice2;
    CodeCombo *cbbType2;
    QLineEdit *Memo1;
};
