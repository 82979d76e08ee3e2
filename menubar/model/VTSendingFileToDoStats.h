#pragma once

#include "model/VTFileToDoStats.h"

// Progress of sending the files of a backup set.
class VTSendingFileToDoStats : public VTFileToDoStats {
    Q_OBJECT
    Q_PROPERTY(bool doneSending READ doneSending WRITE setDoneSending NOTIFY doneSendingChanged)
  public:
    explicit VTSendingFileToDoStats(QObject* parent = nullptr) : VTFileToDoStats(parent) {}

    bool doneSending() const { return doneSending_; }
    void setDoneSending(bool value);

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void doneSendingChanged();

  private:
    bool doneSending_ = false;
};
