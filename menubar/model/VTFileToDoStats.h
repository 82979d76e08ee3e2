#pragma once

#include "model/VTDictUpdatable.h"

// Progress through the files of one phase (analysing or sending) of a backup set.
class VTFileToDoStats : public VTDictUpdatable {
    Q_OBJECT
    Q_PROPERTY(double completionRatio READ completionRatio WRITE setCompletionRatio NOTIFY
                   completionRatioChanged)
    Q_PROPERTY(QString currentFile READ currentFile WRITE setCurrentFile NOTIFY currentFileChanged)
  public:
    explicit VTFileToDoStats(QObject* parent = nullptr) : VTDictUpdatable(parent) {}

    double completionRatio() const { return completionRatio_; }
    void setCompletionRatio(double value);
    const QString& currentFile() const { return currentFile_; }
    void setCurrentFile(const QString& value);

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void completionRatioChanged();
    void currentFileChanged();

  private:
    double completionRatio_ = 0.0;
    QString currentFile_;
};
