// A run connected to the setup service (/G) on a fresh temporary machine, with the script and
// installation engines and the service pipe attached, and a product with the options Main (1200
// bytes), Docs, a hidden option and one always installed.
#pragma once
#include <string>

#include "install/build_options.h"
#include "install/install_test_run.h"
#include "service/setup_service_pipe.h"

namespace tarvium::test {

inline constexpr const char* kServiceTestInf =
    "[Options]\nMain=Program,DEFAULT\nDocs=Documentation\nSecret=Hidden,HIDDEN\n"
    "Always=Always,COPYALWAYS\n";

class ServiceTestRun : public InstallTestRun {
 public:
  ServiceTestRun() : InstallTestRun(kServiceTestInf) {
    run.ctx.bServiceMode = true;
    run.ctx.szInfFile = "Z:\\media\\Setup.inf";
    run.variables.Set("SetupName", "Demo Setup");
    AttachServicePipe(run);
    EXPECT_TRUE(BuildOptions(run));
    Option("Main").size = 1200;
  }
  SetupService& Service() { return *run.service; }
  bool HasDebugLine(const std::string& part) const {
    for (const std::string& line : run.debugLines)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
};

}  // namespace tarvium::test
