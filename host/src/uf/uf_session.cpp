// Session bracket, memory, messages and the work part.
#include "model/errors.hpp"
#include "uf/call.hpp"

#include <uf.h>
#include <uf_assem.h>
#include <uf_part.h>
#include <uf_ui.h>

#include <cstring>

using namespace diekit;
using namespace diekit::uf;

extern "C" {

int UF_initialize(void) {
    store().open_bracket();
    return 0;
}

int UF_terminate(void) {
    return call("UF_terminate", [] {
        if (!store().close_bracket())
            throw HostError(kErrNotInitialized, "no open UF_initialize bracket to close");
    });
}

void UF_free(void *data) {
    if (!data) return;
    if (!store().release(data)) fail("UF_free", kErrBadValue, "memory not handed out by this host");
}

int UF_get_fail_message(int fail_code, char message[133]) {
    if (!message) return kErrNullArgument;
    const char *text = fail_code == 0 ? "no error" : error_code_text(fail_code);
    if (!text) {
        message[0] = '\0';
        return kErrBadValue;
    }
    std::strncpy(message, text, 132);
    message[132] = '\0';
    return 0;
}

int uc1601(const char *message, int option) {
    return call("uc1601", [&] {
        require_pointer(message, "message");
        model::Message note;
        note.kind = "note";
        note.type = option;
        note.text = message;
        store().add_message(std::move(note));
    });
}

tag_t UF_ASSEM_ask_work_part(void) { return store().part(); }

tag_t UF_PART_ask_display_part(void) { return store().part(); }

}  // extern "C"
