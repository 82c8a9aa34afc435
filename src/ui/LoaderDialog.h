// The skill file loader dialog, "スキルファイルロード": picks a card file of a folder by
// the name of the card it holds.
#pragma once

#include <QDialog>
#include <QString>

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // The folder the dialog lists; setting another folder rebuilds the card list.
    void setDirectory(const QString& folder);
    QString directory() const;

    // The full path of the card confirmed last (OK or double click).
    QString SelectedWidPath() const { return selectedWidPath_; }

private:
    QString directory_;
    QString selectedWidPath_;
};
