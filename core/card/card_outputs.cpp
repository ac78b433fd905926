#include "card/card_outputs.h"

#include "base/translation.h"
#include "card/card_port.h"

namespace kresograf {

int CardOutputs::PlayAnalog(uint32_t address, const OutputRequest& request, AnalogOutput source) {
    card_.Attach(address);
    const int result = card_.SendCommand(CmdAnalogOutput, request);
    if (result == CardOk) {
        analog_ = source;
    }
    return result;
}

int CardOutputs::PlayDigital(uint32_t address, const OutputRequest& request) {
    card_.Attach(address);
    const int result = card_.SendCommand(CmdDigitalOutput, request);
    if (result == CardOk) {
        digital_ = true;
    }
    return result;
}

int CardOutputs::PlayFormula(uint32_t address, const FormulaRequest& request) {
    card_.Attach(address);
    const int result = card_.SendCommand(CmdFormulaOutput, request);
    if (result == CardOk) {
        analog_ = AnalogOutput::Formula;
    }
    return result;
}

int CardOutputs::Stop(uint32_t address) {
    card_.Attach(address);
    const int result = card_.SendCommand(CmdStopOutput);
    if (result == CardOk) {
        analog_ = AnalogOutput::None;
        digital_ = false;
    }
    return result;
}

UserMessage OutputFailedMessage() {
    return {Tr("Błąd transmisji"), Tr("Błąd podczas wysyłania danych do QB730."),
            MessageIcon::Stop};
}

}  // namespace kresograf
