// The extension's UNO component: a protocol handler for the "vnd.quillon:" command URLs that
// the Abbreviation bar's buttons dispatch. Writer creates one for each frame, handing it the
// frame; each dispatch runs the button's command on the frame's document.
#include <uno/environment.h>
#include <uno/lbnames.h>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XToolkitExperimental.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/DispatchDescriptor.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatch.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XInitialization.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/lang/XSingleComponentFactory.hpp>
#include <com/sun/star/util/URL.hpp>
#include <cppuhelper/factory.hxx>
#include <cppuhelper/implbase4.hxx>
#include <cppuhelper/supportsservice.hxx>

#include <cstring>

#include "addin/host/Platform.h"
#include "hosts/libreoffice/UnoSession.h"
#include "hosts/libreoffice/WriterHost.h"
#include "hosts/libreoffice/extension/BarCommands.h"
#include "hosts/libreoffice/extension/WriterMessageBox.h"
#include "library/IniSettingsStore.h"

namespace quillon::libreoffice {
namespace {

using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;

constexpr const char* kImplementationName = "org.quillon.writer.ProtocolHandler";
constexpr const char* kServiceName = "com.sun.star.frame.ProtocolHandler";

// Installs the extension's message boxes and settings store while a command runs, putting
// back whatever was installed before.
class ScopedServices {
 public:
  ScopedServices(host::MessageBoxService& messageBox, host::SettingsStore& settings)
      : saved_(host::Platform()) {
    host::Platform().messageBox = &messageBox;
    host::Platform().settings = &settings;
  }
  ~ScopedServices() { host::Platform() = saved_; }
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  host::PlatformServices saved_;
};

// Keeps a frame's window drawn but closed to input while the library manager is open, as
// Writer's own dialogs do: Writer goes on handling its events (painting, timers) between
// looks at the manager, and the user cannot edit the document or press a button twice.
class ManagerWait {
 public:
  ManagerWait(const Reference<css::uno::XComponentContext>& context,
              const Reference<css::frame::XFrame>& frame) {
    try {
      toolkit_.set(css::awt::Toolkit::create(context), UNO_QUERY);
      window_ = frame->getContainerWindow();
      if (window_.is()) window_->setEnable(false);
    } catch (const css::uno::Exception&) {
      // Without a toolkit or a window Writer simply waits for the manager.
    }
  }
  ~ManagerWait() {
    try {
      if (window_.is()) window_->setEnable(true);
    } catch (const css::uno::Exception&) {
      // The window went away meanwhile.
    }
  }
  ManagerWait(const ManagerWait&) = delete;
  ManagerWait& operator=(const ManagerWait&) = delete;

  // Lets Writer handle what is pending.
  void KeepAlive() {
    if (!toolkit_.is()) return;
    try {
      toolkit_->processEventsToIdle();
    } catch (const css::uno::Exception&) {
      toolkit_.clear();  // Writer then simply waits for the manager
    }
  }

 private:
  Reference<css::awt::XWindow> window_;
  Reference<css::awt::XToolkitExperimental> toolkit_;
};

class Dispatcher
    : public cppu::WeakImplHelper4<css::frame::XDispatchProvider, css::frame::XDispatch,
                                   css::lang::XInitialization, css::lang::XServiceInfo> {
 public:
  explicit Dispatcher(Reference<css::uno::XComponentContext> context)
      : context_(std::move(context)) {}

  // XInitialization: the frame whose commands this handler serves.
  void SAL_CALL initialize(const Sequence<css::uno::Any>& arguments) override {
    for (const css::uno::Any& argument : arguments) {
      Reference<css::frame::XFrame> frame(argument, UNO_QUERY);
      if (frame.is()) frame_ = frame;
    }
  }

  // XDispatchProvider
  Reference<css::frame::XDispatch> SAL_CALL queryDispatch(const css::util::URL& url,
                                                          const OUString&, sal_Int32) override {
    if (!CommandOfUrl(ToUtf8(url.Complete))) return {};
    return this;
  }
  Sequence<Reference<css::frame::XDispatch>> SAL_CALL
  queryDispatches(const Sequence<css::frame::DispatchDescriptor>& requests) override {
    Sequence<Reference<css::frame::XDispatch>> dispatches(requests.getLength());
    for (sal_Int32 i = 0; i < requests.getLength(); ++i) {
      dispatches.getArray()[i] =
          queryDispatch(requests[i].FeatureURL, requests[i].FrameName, requests[i].SearchFlags);
    }
    return dispatches;
  }

  // XDispatch: runs the command to its end before it returns (Writer's window stays drawn
  // while the library manager is open).
  void SAL_CALL dispatch(const css::util::URL& url,
                         const Sequence<css::beans::PropertyValue>&) override {
    std::optional<BarCommand> command = CommandOfUrl(ToUtf8(url.Complete));
    if (!command || !frame_.is()) return;
    WriterMessageBox messageBox(context_, frame_);
    library::IniSettingsStore settings;
    ScopedServices services(messageBox, settings);
    Reference<css::frame::XModel> model;
    Reference<css::frame::XController> controller = frame_->getController();
    if (controller.is()) model = controller->getModel();
    try {
      WriterApplication word(OpenWriterDocument{model});
      RunBarCommand(*command, word, [this](const std::string& library) {
        ManagerWait wait(context_, frame_);
        return PickWithManager(ManagerProgram(), library, [&wait] { wait.KeepAlive(); });
      });
      word.FitTables();
    } catch (const std::exception& e) {
      host::MsgBox(e.what());
    }
  }
  // The buttons stay enabled: no state to report.
  void SAL_CALL addStatusListener(const Reference<css::frame::XStatusListener>&,
                                  const css::util::URL&) override {}
  void SAL_CALL removeStatusListener(const Reference<css::frame::XStatusListener>&,
                                     const css::util::URL&) override {}

  // XServiceInfo
  OUString SAL_CALL getImplementationName() override {
    return OUString::createFromAscii(kImplementationName);
  }
  sal_Bool SAL_CALL supportsService(const OUString& name) override {
    return cppu::supportsService(this, name);
  }
  Sequence<OUString> SAL_CALL getSupportedServiceNames() override {
    Sequence<OUString> names(1);
    names.getArray()[0] = OUString::createFromAscii(kServiceName);
    return names;
  }

 private:
  Reference<css::uno::XComponentContext> context_;
  Reference<css::frame::XFrame> frame_;
};

Reference<css::uno::XInterface> SAL_CALL
CreateDispatcher(const Reference<css::uno::XComponentContext>& context) {
  return static_cast<cppu::OWeakObject*>(new Dispatcher(context));
}

}  // namespace
}  // namespace quillon::libreoffice

// The entry points LibreOffice's shared-library loader looks up.
extern "C" SAL_DLLPUBLIC_EXPORT void SAL_CALL
component_getImplementationEnvironment(char const** environmentTypeName, uno_Environment**) {
  *environmentTypeName = CPPU_CURRENT_LANGUAGE_BINDING_NAME;
}

extern "C" SAL_DLLPUBLIC_EXPORT void* SAL_CALL component_getFactory(const char* implementationName,
                                                                    void* serviceManager, void*) {
  using namespace quillon::libreoffice;
  if (serviceManager == nullptr || implementationName == nullptr ||
      std::strcmp(implementationName, kImplementationName) != 0) {
    return nullptr;
  }
  css::uno::Sequence<OUString> services(1);
  services.getArray()[0] = OUString::createFromAscii(kServiceName);
  css::uno::Reference<css::lang::XSingleComponentFactory> factory =
      cppu::createSingleComponentFactory(&CreateDispatcher,
                                         OUString::createFromAscii(kImplementationName), services);
  if (!factory.is()) return nullptr;
  factory->acquire();
  return factory.get();
}
