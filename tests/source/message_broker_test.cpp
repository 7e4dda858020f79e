#include "source/message_broker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <memory>

#include "broker/rpc_broker.h"

namespace vorn {
namespace {

class FindingBrokers : public ::testing::Test {
  protected:
    void SetUp() override { SetMessageBroker(nullptr); }
    void TearDown() override { SetMessageBroker(nullptr); }
};

TEST_F(FindingBrokers, TheFirstBrokerInOwnershipOrderIsFoundAndRecorded) {
    QObject root;
    new QObject(&root);
    auto* form = new QObject(&root);
    auto* panel = new QObject(form);
    auto* nested = new TRPCBroker(panel);
    auto* later = new TRPCBroker(&root);
    // The form owned before the broker is searched, with everything on it, first.
    EXPECT_EQ(FindBroker(&root), nested);
    EXPECT_EQ(MessageBroker(), nested);
    delete nested;
    EXPECT_EQ(MessageBroker(), nullptr);
    EXPECT_EQ(FindBroker(&root), later);
    EXPECT_EQ(MessageBroker(), later);
}

TEST_F(FindingBrokers, TheRootItselfIsNotAmongWhatItOwns) {
    TRPCBroker root;
    EXPECT_EQ(FindBroker(&root), nullptr);
    EXPECT_EQ(MessageBroker(), nullptr);
}

TEST_F(FindingBrokers, NothingFoundLeavesTheMessageBrokerAlone) {
    TRPCBroker known;
    SetMessageBroker(&known);
    QObject empty;
    new QObject(&empty);
    EXPECT_EQ(FindBroker(&empty), nullptr);
    EXPECT_EQ(MessageBroker(), &known);
}

TEST_F(FindingBrokers, TheApplicationsObjectsAndWindowsAreSearched) {
    EXPECT_EQ(FindBroker(nullptr), nullptr);

    QWidget form;
    QWidget page(&form);
    auto* onPage = new TRPCBroker(&page);
    EXPECT_EQ(FindBroker(nullptr), onPage);
    EXPECT_EQ(MessageBroker(), onPage);

    // A broker the application object owns comes before those on windows.
    auto owned = std::make_unique<TRPCBroker>(qApp);
    EXPECT_EQ(FindBroker(nullptr), owned.get());
    owned.reset();
    EXPECT_EQ(FindBroker(nullptr), onPage);
}

TEST_F(FindingBrokers, AWindowWithAParentIsSearchedThroughItsParent) {
    QWidget main;
    auto* dialog = new QWidget(&main, Qt::Dialog);
    auto* b = new TRPCBroker(dialog);
    EXPECT_TRUE(dialog->isWindow());
    EXPECT_EQ(FindBroker(nullptr), b);
    EXPECT_EQ(FindBroker(&main), b);
}

TEST_F(FindingBrokers, ADestroyedMessageBrokerIsForgotten) {
    auto b = std::make_unique<TRPCBroker>();
    SetMessageBroker(b.get());
    EXPECT_EQ(MessageBroker(), b.get());
    b.reset();
    EXPECT_EQ(MessageBroker(), nullptr);
}

}  // namespace
}  // namespace vorn
