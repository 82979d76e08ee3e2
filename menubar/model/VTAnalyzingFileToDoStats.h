#pragma once

#include "model/VTFileToDoStats.h"

// Progress of analysing the files of a backup set.
class VTAnalyzingFileToDoStats : public VTFileToDoStats {
    Q_OBJECT
    Q_PROPERTY(
        bool doneAnalyzing READ doneAnalyzing WRITE setDoneAnalyzing NOTIFY doneAnalyzingChanged)
  public:
    explicit VTAnalyzingFileToDoStats(QObject* parent = nullptr) : VTFileToDoStats(parent) {}

    bool doneAnalyzing() const { return doneAnalyzing_; }
    void setDoneAnalyzing(bool value);

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void doneAnalyzingChanged();

  private:
    bool doneAnalyzing_ = true;
};
