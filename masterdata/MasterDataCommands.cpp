#include "masterdata/MasterDataCommands.h"

#include "masterdata/Registers.h"
#include "masterdata/uFrmCodeMan.h"
#include "masterdata/uFrmRateCodeGL.h"
#include "masterdata/uFrmTreeCodeMan.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

void installMasterDataCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.handle(104, [h] {
        TFrmCodeMan(h->hostWindow()).exec();
        // Names added meanwhile belong in the value list.
        h->codeListsChanged();
    });
    commands.handle(105, [h] { TfrmRateCodeGL(h->hostWindow()).exec(); });
    // Commands 106 to 108 open the trees of modes 1, 3 and 5.
    for (int mode : {1, 3, 5}) {
        commands.handle(105 + (mode + 1) / 2, [h, mode] {
            showTreeCodeMan(h->hostWindow(), mode);
            if (mode == 1)
                h->sampleTypesChanged();
        });
    }
    const struct
    {
        int id;
        const RegisterDescription &(*description)();
    } registers[] = {{208, catalogueRegister}, {209, clientRegister}, {210, supplierRegister}};
    for (const auto &r : registers) {
        commands.handle(r.id, [h, description = r.description] {
            showRegister(h->hostWindow(), description());
        });
    }
}
