#include "app/KestrumApplication.h"
#include "app/KestrumStartup.h"
#include "common/ui/DialogPrompt.h"

#include <memory>

int main(int argc, char* argv[]) {
    ks::KestrumApplication app(argc, argv);
    ks::Prompt::install(std::make_unique<ks::DialogPrompt>());
    ks::KestrumStartup startup;
    switch (startup.start()) {
    case ks::KestrumStartup::Outcome::Running:
        return startup.exec();
    case ks::KestrumStartup::Outcome::SecondInstance:
        return 0;
    case ks::KestrumStartup::Outcome::Failed:
        break;
    }
    return 1;
}
