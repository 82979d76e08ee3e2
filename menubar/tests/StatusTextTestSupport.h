#pragma once

// A fixture for the status text builders: the shared builders attached to a fresh application
// state fed from the service documents of StatusTextFixtures.h, a fixed clock, user defaults in
// a temporary folder, United States number formats, and a recorder of the warnings logged.
#include <gtest/gtest.h>

#include "logging/DDLog.h"
#include "messaging/AppStateMessage.h"
#include "messaging/StatsMessage.h"
#include "model/VTVaultorState.h"
#include "tests/ModelTestSupport.h"
#include "tests/StatusTextFixtures.h"
#include "ui/text/VTDestinationStatusTextBuilder.h"
#include "ui/text/VTSourceStatusTextBuilder.h"

namespace StatusTextTestSupport {

using ModelTestSupport::WarningRecorder;

class StatusTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VTLogger::initDependencies();
        DDLog::addLogger(recorder_);
        for (VTComputerStatusTextBuilder* builder : builders()) {
            builder->setState(&state_);
            builder->setNowFunction([] { return StatusTextFixtures::kNow; });
            builder->setUserDefaults(defaults_.get());
            const QLocale english(QLocale::English, QLocale::UnitedStates);
            builder->setDecimalFormatter(VTNumberFormatter(VTNumberFormatter::Decimal, english));
            builder->setOneDecimalPlaceFormatter(
                VTNumberFormatter(VTNumberFormatter::OneDecimalPlace, english));
            builder->setPercentFormatter(VTNumberFormatter(VTNumberFormatter::Percent, english));
            builder->setRemoveMantissaFormatter(
                VTNumberFormatter(VTNumberFormatter::RemoveMantissa, english));
        }
    }
    void TearDown() override {
        for (VTComputerStatusTextBuilder* builder : builders()) {
            builder->setState(nullptr);
            builder->setNowFunction(nullptr);
            builder->setUserDefaults(nullptr);
        }
        DDLog::flushLog();
        DDLog::removeAllLoggers();
        ModelTestSupport::flushDeferredDeletes();
    }

    static QList<VTComputerStatusTextBuilder*> builders() {
        return {VTDestinationStatusTextBuilder::sharedTextBuilder(),
                VTSourceStatusTextBuilder::sharedTextBuilder()};
    }
    static VTDestinationStatusTextBuilder* destinationBuilder() {
        return VTDestinationStatusTextBuilder::sharedTextBuilder();
    }
    static VTSourceStatusTextBuilder* sourceBuilder() {
        return VTSourceStatusTextBuilder::sharedTextBuilder();
    }

    // Applies the base account with the scenario's changes as one app-state message.
    void apply(const char* overlay = "{}") {
        auto msg =
            ModelTestSupport::message<AppStateMessage>(StatusTextFixtures::appState(overlay));
        msg->applyTo(state_);
    }
    // Applies a statistics message as the service sends it between app-state messages.
    void applyStats(const char* json) {
        auto msg = ModelTestSupport::message<StatsMessage>(QByteArray(json));
        msg->applyTo(state_);
    }

    VTDestination* destination(qint64 GUID = 2001) const {
        return qobject_cast<VTDestination*>(state_.computerForGUID(GUID));
    }
    VTSource* source(qint64 GUID = 3001) const {
        for (VTSource* source : state_.sources()) {
            if (source->GUID() == GUID) {
                return source;
            }
        }
        return nullptr;
    }
    QVariantMap destinationDict(qint64 GUID = 2001) const {
        VTDestination* found = destination(GUID);
        EXPECT_NE(found, nullptr) << "no destination " << GUID;
        return found ? destinationBuilder()->buildStatusTextDict(found->stats()) : QVariantMap();
    }
    QString destinationText(qint64 GUID = 2001) const {
        return destinationDict(GUID).value(QStringLiteral("text")).toString();
    }
    QString detailsText(qint64 GUID = 2001) const {
        return destinationDict(GUID).value(QStringLiteral("detailsText")).toString();
    }
    QString sourceText(qint64 GUID = 3001) const {
        VTSource* found = source(GUID);
        EXPECT_NE(found, nullptr) << "no source " << GUID;
        return found ? sourceBuilder()
                           ->buildStatusTextDict(found->stats())
                           .value(QStringLiteral("text"))
                           .toString()
                     : QString();
    }

    ModelTestSupport::TemporaryUserDefaults defaults_;
    VTVaultorState state_{defaults_.get()};
    std::shared_ptr<WarningRecorder> recorder_ = std::make_shared<WarningRecorder>();
};

}  // namespace StatusTextTestSupport
