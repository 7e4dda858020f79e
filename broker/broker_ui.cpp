#include "broker/broker_ui.h"

#include <cstdio>

namespace vorn {
namespace {

class StderrUi final : public BrokerUi {
  public:
    void ShowMessage(const QString& text) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
};

StderrUi gStderrUi;
BrokerUi* gUi = nullptr;

}  // namespace

BrokerUi& CurrentBrokerUi() {
    return gUi ? *gUi : gStderrUi;
}
void SetBrokerUi(BrokerUi* ui) {
    gUi = ui;
}

}  // namespace vorn
