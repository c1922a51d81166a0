#include "engine/webkit_backend.h"

#include <webkit2/webkit2.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "platform/error_report.h"
#include "platform/main_loop.h"

namespace orv {

namespace {

DownloadChooser& Chooser() {
  static DownloadChooser chooser;
  return chooser;
}

// A file a page offers goes where the user says, or nowhere: never into a
// folder by itself, and never opened.
gboolean OnDecideDestination(WebKitDownload* download, gchar* suggested, gpointer) {
  std::string path;
  RunReported([&] {
    if (Chooser()) path = Chooser()(suggested ? suggested : "");
  });
  if (path.empty()) {
    webkit_download_cancel(download);
    return TRUE;
  }
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (!uri) {
    webkit_download_cancel(download);
    return TRUE;
  }
  // The save dialog has already asked about replacing an existing file.
  webkit_download_set_allow_overwrite(download, TRUE);
  webkit_download_set_destination(download, uri);
  g_free(uri);
  return TRUE;
}

void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) {
  g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), nullptr);
}

WebKitWebContext* SharedContext() {
  static WebKitWebContext* context = [] {
    WebKitWebContext* c = webkit_web_context_get_default();
    g_signal_connect(c, "download-started", G_CALLBACK(OnDownloadStarted), nullptr);
    // Must happen before the first web process starts.
    webkit_web_context_set_sandbox_enabled(c, TRUE);
    webkit_web_context_set_cache_model(c, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    return c;
  }();
  return context;
}

// Content rules for pages of untrusted markup: nothing the page refers to
// comes from a local file, neither as a part of it nor as a frame in it. The
// page itself, a file in the top frame, still loads.
constexpr char kLocalFileRules[] = R"([
  {"trigger": {"url-filter": "^file:", "resource-type": ["image", "style-sheet", "script",
     "font", "raw", "svg-document", "media", "popup"]}, "action": {"type": "block"}},
  {"trigger": {"url-filter": "^file:", "resource-type": ["document"],
     "load-context": ["child-frame"]}, "action": {"type": "block"}}
])";

// An engine that does not know frame rules still takes these.
constexpr char kLocalSubresourceRules[] = R"([
  {"trigger": {"url-filter": "^file:", "resource-type": ["image", "style-sheet", "script",
     "font", "raw", "svg-document", "media", "popup"]}, "action": {"type": "block"}}
])";

// Compiles `rules`; null when the engine refuses them. Compiling is
// asynchronous and is waited for in the waiting loop.
WebKitUserContentFilter* CompileRules(const char* rules) {
  struct Pending {
    bool done = false;
    WebKitUserContentFilter* filter = nullptr;
  };
  gchar* folder = g_build_filename(g_get_user_cache_dir(), "Orvindel", "content-rules", nullptr);
  WebKitUserContentFilterStore* store = webkit_user_content_filter_store_new(folder);
  g_free(folder);
  // Left to the callback if the wait gives up first.
  auto* pending = new Pending;
  GBytes* source = g_bytes_new_static(rules, std::strlen(rules));
  webkit_user_content_filter_store_save(
      store, "local-files", source, nullptr,
      [](GObject* object, GAsyncResult* result, gpointer data) {
        auto* p = static_cast<Pending*>(data);
        p->filter = webkit_user_content_filter_store_save_finish(
            WEBKIT_USER_CONTENT_FILTER_STORE(object), result, nullptr);
        p->done = true;
      },
      pending);
  g_bytes_unref(source);
  WaitUntil([pending] { return pending->done; }, 15000);
  WebKitUserContentFilter* compiled = pending->done ? pending->filter : nullptr;
  if (pending->done) delete pending;
  g_object_unref(store);
  return compiled;
}

// The rules, compiled once for the process.
WebKitUserContentFilter* LocalFileFilter() {
  static WebKitUserContentFilter* filter = [] {
    WebKitUserContentFilter* compiled = CompileRules(kLocalFileRules);
    return compiled ? compiled : CompileRules(kLocalSubresourceRules);
  }();
  return filter;
}

// Scripts the document operations run; page text always travels as an
// argument, never inside the source.
const char* ScriptFor(DocumentOp op) {
  switch (op) {
    case DocumentOp::kGetBodyHtml:
      return "return document.body ? document.body.innerHTML : null;";
    case DocumentOp::kSetBodyHtml:
      return "if (!document.body) return null; document.body.innerHTML = html; return '';";
    case DocumentOp::kGetSelectionText:
      return "const s = window.getSelection(); return s ? s.toString() : '';";
    case DocumentOp::kGetLocationProtocol:
      return "return document.location ? document.location.protocol : null;";
    case DocumentOp::kIsHtmlDocument:
      return "return document instanceof HTMLDocument ? '1' : '';";
    case DocumentOp::kSetDesignMode:
      return "document.designMode = mode; return document.designMode;";
    case DocumentOp::kGetEditedDocument:
      // A copy is changed, never the page: the file is written as UTF-8 and
      // must say so, whatever the page declared.
      return R"(
        const root = document.documentElement;
        if (!root) return null;
        const copy = root.cloneNode(true);
        const head = copy.querySelector('head');
        if (head) {
          for (const meta of head.querySelectorAll('meta')) {
            const equiv = (meta.getAttribute('http-equiv') || '').toLowerCase();
            if (meta.hasAttribute('charset') || equiv === 'content-type') meta.remove();
          }
          const charset = document.createElement('meta');
          charset.setAttribute('charset', 'utf-8');
          head.insertBefore(charset, head.firstChild);
        }
        const doctype = document.doctype
            ? new XMLSerializer().serializeToString(document.doctype) + '\n' : '';
        return doctype + copy.outerHTML;)";
  }
  return "return null;";
}

class WebKitBackend final : public BrowserBackend {
 public:
  WebKitBackend() : cancellable_(g_cancellable_new()) { MakeView(nullptr); }

  ~WebKitBackend() override {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
    DropView();
  }

  GtkWidget* Widget() override { return view_; }

  void LoadUri(const std::string& uri) override { webkit_web_view_load_uri(web_view(), uri.c_str()); }
  bool CanGoBack() const override { return webkit_web_view_can_go_back(web_view()); }
  bool CanGoForward() const override { return webkit_web_view_can_go_forward(web_view()); }
  void GoBack() override { webkit_web_view_go_back(web_view()); }
  void GoForward() override { webkit_web_view_go_forward(web_view()); }
  void Stop() override { webkit_web_view_stop_loading(web_view()); }
  void Reload() override { webkit_web_view_reload(web_view()); }

  std::string Uri() const override {
    const char* uri = webkit_web_view_get_uri(web_view());
    return uri ? uri : "";
  }
  bool IsLoading() const override { return webkit_web_view_is_loading(web_view()); }
  bool HasDocument() const override { return committed_; }

  void SetUserAgent(const std::string& agent) override {
    user_agent_ = agent;
    WebKitSettings* settings = webkit_web_view_get_settings(web_view());
    webkit_settings_set_user_agent(settings, agent.empty() ? nullptr : agent.c_str());
  }

  void SetPassiveContent(bool passive) override {
    passive_ = passive;
    ApplyPassive(webkit_web_view_get_settings(web_view()));
    ApplyContentRules();
  }

  void RunDocumentOp(DocumentOp op, const std::string& argument, DocumentCallback done) override {
    GVariantBuilder args;
    g_variant_builder_init(&args, G_VARIANT_TYPE("a{sv}"));
    if (op == DocumentOp::kSetBodyHtml) AddText(args, "html", argument);
    if (op == DocumentOp::kSetDesignMode) AddText(args, "mode", argument);
    RunScript(ScriptFor(op), g_variant_builder_end(&args), std::move(done));
  }

  void ExecuteEditingCommand(const std::string& command) override {
    webkit_web_view_execute_editing_command(web_view(), command.c_str());
  }

  void RunEditCommand(const std::string& name, const std::string& value,
                      DocumentCallback done) override {
    GVariantBuilder args;
    g_variant_builder_init(&args, G_VARIANT_TYPE("a{sv}"));
    AddText(args, "name", name);
    AddText(args, "value", value);
    RunScript(
        "if (!document.queryCommandSupported(name)) return null;"
        "document.execCommand(name, false, value); return '';",
        g_variant_builder_end(&args), std::move(done));
  }

  void InsertElement(const std::string& markup, DocumentCallback done) override {
    GVariantBuilder args;
    g_variant_builder_init(&args, G_VARIANT_TYPE("a{sv}"));
    AddText(args, "markup", markup);
    RunScript(R"(
        const body = document.body;
        if (!body) return null;
        // As with the document's own commands, a page not being edited
        // stays as it is.
        if (!body.isContentEditable) return '';
        const template = document.createElement('template');
        template.innerHTML = markup;
        const element = template.content.firstChild;
        if (!element) return null;
        const selection = getSelection();
        let range = selection && selection.rangeCount ? selection.getRangeAt(0) : null;
        if (range && body.contains(range.commonAncestorContainer)) {
          range.deleteContents();
        } else {
          range = document.createRange();
          range.selectNodeContents(body);
          range.collapse(false);
        }
        range.insertNode(document.adoptNode(element));
        range.setStartAfter(element);
        range.collapse(true);
        selection.removeAllRanges();
        selection.addRange(range);
        return '';)",
              g_variant_builder_end(&args), std::move(done));
  }

  void FindText(const FindRequest& request, std::function<void(bool found)> done) override {
    WebKitFindController* find = webkit_web_view_get_find_controller(web_view());
    guint32 options = WEBKIT_FIND_OPTIONS_WRAP_AROUND;
    if (!request.match_case) options |= WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE;
    // WebKit has no whole-word search; matches at word starts come closest.
    if (request.whole_word) options |= WEBKIT_FIND_OPTIONS_AT_WORD_STARTS;
    if (request.backwards) options |= WEBKIT_FIND_OPTIONS_BACKWARDS;
    find_done_ = std::move(done);
    const char* current = webkit_find_controller_get_search_text(find);
    if (current && request.text == current && options == webkit_find_controller_get_options(find)) {
      if (request.backwards) {
        webkit_find_controller_search_previous(find);
      } else {
        webkit_find_controller_search_next(find);
      }
    } else {
      webkit_find_controller_search(find, request.text.c_str(), options, G_MAXUINT);
    }
  }

  void FindFinish() override {
    find_done_ = nullptr;
    webkit_find_controller_search_finish(webkit_web_view_get_find_controller(web_view()));
  }

  bool HasMainResource() const override {
    return committed_ && webkit_web_view_get_main_resource(web_view()) != nullptr;
  }

  void MainResourceData(std::function<void(bool ok, const std::string& data)> done) override {
    WebKitWebResource* resource = webkit_web_view_get_main_resource(web_view());
    if (!resource) {
      done(false, "");
      return;
    }
    using Done = std::function<void(bool, const std::string&)>;
    webkit_web_resource_get_data(
        resource, cancellable_,
        +[](GObject* source, GAsyncResult* result, gpointer data) {
          std::unique_ptr<Done> done(static_cast<Done*>(data));
          gsize length = 0;
          GError* error = nullptr;
          guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result,
                                                              &length, &error);
          const bool ok = bytes != nullptr;
          const std::string text = ok ? std::string(reinterpret_cast<char*>(bytes), length) : "";
          g_free(bytes);
          g_clear_error(&error);
          RunReported([&] { (*done)(ok, text); });
        },
        new Done(std::move(done)));
  }

  void SaveWebArchive(const std::string& path,
                      std::function<void(const std::string& error)> done) override {
    using Done = std::function<void(const std::string&)>;
    GFile* file = g_file_new_for_path(path.c_str());
    webkit_web_view_save_to_file(
        web_view(), file, WEBKIT_SAVE_MODE_MHTML, cancellable_,
        +[](GObject* source, GAsyncResult* result, gpointer data) {
          std::unique_ptr<Done> done(static_cast<Done*>(data));
          GError* error = nullptr;
          std::string message;
          if (!webkit_web_view_save_to_file_finish(WEBKIT_WEB_VIEW(source), result, &error)) {
            message = error ? error->message : "the engine could not save the page";
          }
          g_clear_error(&error);
          RunReported([&] { (*done)(message); });
        },
        new Done(std::move(done)));
    g_object_unref(file);
  }

  void Print(const PrintJob& job, PrintCallback done) override {
    // Lives until the operation ends, and so does our reference to the
    // operation.
    struct Pending {
      PrintCallback done;
      std::string error;
    };
    WebKitPrintOperation* operation = webkit_print_operation_new(web_view());
    auto* pending = new Pending{std::move(done), {}};
    g_signal_connect(operation, "failed",
                     G_CALLBACK(+[](WebKitPrintOperation*, GError* error, Pending* p) {
                       p->error = error && error->message[0] ? error->message : "printing failed";
                     }),
                     pending);
    // Comes after "failed" too.
    g_signal_connect(operation, "finished", G_CALLBACK(+[](WebKitPrintOperation* op, Pending* p) {
                       std::unique_ptr<Pending> own(p);
                       g_signal_handlers_disconnect_by_data(op, p);
                       const PrintOutcome outcome =
                           p->error.empty() ? PrintOutcome::kPrinted : PrintOutcome::kFailed;
                       RunReported([&] { p->done(outcome, p->error); });
                       g_object_unref(op);
                     }),
                     pending);
    if (!job.pdf_path.empty()) {
      GtkPrintSettings* settings = gtk_print_settings_new();
      gtk_print_settings_set_printer(settings, "Print to File");
      gchar* uri = g_filename_to_uri(job.pdf_path.c_str(), nullptr, nullptr);
      gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri ? uri : "");
      g_free(uri);
      gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
      webkit_print_operation_set_print_settings(operation, settings);
      g_object_unref(settings);
      webkit_print_operation_print(operation);
      return;
    }
    // The dialog is modal; printing goes on after it closes.
    if (webkit_print_operation_run_dialog(operation, job.parent) ==
        WEBKIT_PRINT_OPERATION_RESPONSE_CANCEL) {
      std::unique_ptr<Pending> own(pending);
      g_signal_handlers_disconnect_by_data(operation, pending);
      g_object_unref(operation);
      RunReported([&] { own->done(PrintOutcome::kCancelled, ""); });
    }
  }

  GtkWidget* RecreateRelatedTo(BrowserBackend& opener) override {
    auto& related = static_cast<WebKitBackend&>(opener);
    DropView();
    committed_ = false;
    page_arriving_ = false;
    status_text_.clear();
    MakeView(related.web_view());
    if (passive_) ApplyContentRules();
    return view_;
  }

 private:
  WebKitWebView* web_view() const { return WEBKIT_WEB_VIEW(view_); }

  void ApplyContentRules() {
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(web_view());
    if (passive_) {
      if (WebKitUserContentFilter* filter = LocalFileFilter()) {
        webkit_user_content_manager_add_filter(content, filter);
      }
    } else {
      webkit_user_content_manager_remove_all_filters(content);
    }
  }

  void ApplyPassive(WebKitSettings* settings) {
    // Without script markup, WebKit drops script elements and event handler
    // attributes as it parses and follows no javascript: link, while the
    // document operations, which come through the API, keep working.
    webkit_settings_set_enable_javascript_markup(settings, !passive_);
    webkit_settings_set_default_charset(settings, passive_ ? "UTF-8" : "iso-8859-1");
    webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
    webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
  }

  void MakeView(WebKitWebView* related) {
    WebKitSettings* settings = webkit_settings_new();
    webkit_settings_set_enable_developer_extras(settings, FALSE);
    // WebKit would silently drop windows a script opens; the shell's own
    // pop-up blocker asks the user instead, so every request reaches it.
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    if (!user_agent_.empty()) webkit_settings_set_user_agent(settings, user_agent_.c_str());
    // Ordinary views keep WebKit's defaults untouched.
    if (passive_) ApplyPassive(settings);
    view_ = related ? GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", related,
                                              "settings", settings, nullptr))
                    : GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context",
                                              SharedContext(), "settings", settings, nullptr));
    g_object_unref(settings);
    g_object_ref_sink(view_);
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(view_, "notify::title", G_CALLBACK(OnTitle), this);
    g_signal_connect(view_, "notify::estimated-load-progress", G_CALLBACK(OnProgress), this);
    g_signal_connect(view_, "mouse-target-changed", G_CALLBACK(OnMouseTarget), this);
    g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(view_, "create", G_CALLBACK(OnCreate), this);
    WebKitFindController* find = webkit_web_view_get_find_controller(web_view());
    g_signal_connect(find, "found-text", G_CALLBACK(OnFound), this);
    g_signal_connect(find, "failed-to-find-text", G_CALLBACK(OnNotFound), this);
  }

  static void OnFound(WebKitFindController*, guint, gpointer data) {
    static_cast<WebKitBackend*>(data)->FindAnswered(true);
  }
  static void OnNotFound(WebKitFindController*, gpointer data) {
    static_cast<WebKitBackend*>(data)->FindAnswered(false);
  }
  void FindAnswered(bool found) {
    auto done = std::move(find_done_);
    find_done_ = nullptr;
    if (done) RunReported([&] { done(found); });
  }

  void DropView() {
    if (refused_settle_) g_source_remove(refused_settle_);
    refused_settle_ = 0;
    if (!view_) return;
    g_signal_handlers_disconnect_by_data(view_, this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_find_controller(web_view()), this);
    webkit_web_view_stop_loading(web_view());
    if (GtkWidget* parent = gtk_widget_get_parent(view_)) {
      gtk_container_remove(GTK_CONTAINER(parent), view_);
    }
    g_object_unref(view_);
    view_ = nullptr;
  }

  static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer data) {
    auto* self = static_cast<WebKitBackend*>(data);
    if (!self->events()) return nullptr;
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    auto* target = static_cast<WebKitBackend*>(self->events()->NewWindow(uri ? uri : ""));
    // WebKit loads the new window's page into the view handed back.
    return target ? target->view_ : nullptr;
  }

  static void AddText(GVariantBuilder& args, const char* name, const std::string& text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    g_variant_builder_add(&args, "{sv}", name, g_variant_new_take_string(valid));
  }

  void RunScript(const char* body, GVariant* args, DocumentCallback done) {
    auto* pending = new DocumentCallback(std::move(done));
    webkit_web_view_call_async_javascript_function(web_view(), body, -1, args, nullptr, nullptr,
                                                   cancellable_, OnScriptDone, pending);
  }

  static void OnScriptDone(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<DocumentCallback> done(static_cast<DocumentCallback*>(data));
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &error);
    bool ok = false;
    std::string text;
    if (value && !jsc_value_is_null(value) && !jsc_value_is_undefined(value)) {
      gchar* s = jsc_value_to_string(value);
      ok = s != nullptr;
      if (s) text = s;
      g_free(s);
    }
    if (value) g_object_unref(value);
    g_clear_error(&error);
    RunReported([&] { (*done)(ok, text); });
  }

  static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<WebKitBackend*>(data);
    BackendEvents* events = self->events();
    switch (event) {
      case WEBKIT_LOAD_STARTED:
        self->page_arriving_ = false;
        if (events) events->DownloadBegin();
        break;
      case WEBKIT_LOAD_COMMITTED:
        self->committed_ = true;
        self->page_arriving_ = true;
        if (events) events->NavigateComplete();
        break;
      case WEBKIT_LOAD_FINISHED:
        self->page_arriving_ = false;
        // A failed load ends here too, after the error page is decided.
        if (events) {
          events->ProgressChanged(0, 100);
          events->DocumentComplete();
          events->DownloadComplete();
        }
        break;
      case WEBKIT_LOAD_REDIRECTED:
        break;
    }
  }

  static void OnTitle(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebKitBackend*>(data);
    const char* title = webkit_web_view_get_title(self->web_view());
    if (self->events()) self->events()->TitleChanged(title ? title : "");
  }

  static void OnProgress(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebKitBackend*>(data);
    if (!webkit_web_view_is_loading(self->web_view())) return;
    const double p = webkit_web_view_get_estimated_load_progress(self->web_view());
    if (self->events()) self->events()->ProgressChanged(static_cast<int>(std::lround(p * 100)), 100);
  }

  static void OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer data) {
    auto* self = static_cast<WebKitBackend*>(data);
    std::string text;
    if (webkit_hit_test_result_context_is_link(hit)) {
      const char* uri = webkit_hit_test_result_get_link_uri(hit);
      if (uri) text = uri;
    }
    if (text == self->status_text_) return;
    self->status_text_ = text;
    if (self->events()) self->events()->StatusTextChanged(text);
  }

  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer data) {
    auto* self = static_cast<WebKitBackend*>(data);
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION || !self->events()) return FALSE;
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    // WebKit asks about the frames of a page too, and does not say which
    // frame a navigation is for. While a committed page is still arriving,
    // a navigation nobody clicked for is the page filling its own frames:
    // not a navigation of the tab.
    if (self->page_arriving_ && !webkit_navigation_action_is_user_gesture(action)) return FALSE;
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    bool cancel = false;
    self->events()->BeforeNavigate(uri ? uri : "", cancel);
    if (!cancel) return FALSE;
    webkit_policy_decision_ignore(decision);
    // WebKit has already shown the start of the load it is now told to drop
    // and never reports its end: end it once WebKit has settled, unless
    // another load has started meanwhile.
    if (!self->refused_settle_) self->refused_settle_ = g_idle_add(OnRefusedSettled, self);
    return TRUE;
  }

  static gboolean OnRefusedSettled(gpointer data) {
    auto* self = static_cast<WebKitBackend*>(data);
    self->refused_settle_ = 0;
    if (self->view_ && !webkit_web_view_is_loading(self->web_view()) && self->events()) {
      self->events()->ProgressChanged(0, 100);
    }
    return G_SOURCE_REMOVE;
  }

  GtkWidget* view_ = nullptr;
  GCancellable* cancellable_ = nullptr;
  bool committed_ = false;
  // The idle call that ends a refused navigation's progress.
  guint refused_settle_ = 0;
  // Between the commit of a page and the end of its load.
  bool page_arriving_ = false;
  std::string status_text_;
  std::string user_agent_;
  bool passive_ = false;
  std::function<void(bool)> find_done_;
};

}  // namespace

void ConfigureWebEngine(const std::string& cookie_folder) {
  static bool configured = false;
  WebKitWebContext* context = SharedContext();
  if (configured) return;
  configured = true;
  if (cookie_folder.empty()) return;
  WebKitWebsiteDataManager* data = webkit_web_context_get_website_data_manager(context);
  WebKitCookieManager* cookies = webkit_website_data_manager_get_cookie_manager(data);
  const std::string path = cookie_folder + "cookies.sqlite";
  webkit_cookie_manager_set_persistent_storage(cookies, path.c_str(),
                                               WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
}

void SetDownloadChooser(DownloadChooser chooser) { Chooser() = std::move(chooser); }

bool WebEngineSandboxed() { return webkit_web_context_get_sandbox_enabled(SharedContext()); }

std::unique_ptr<BrowserBackend> WebKitEngine::NewBackend() {
  return std::unique_ptr<BrowserBackend>(new WebKitBackend());
}

std::string WebKitEngine::Version() const {
  return std::to_string(webkit_get_major_version()) + "." +
         std::to_string(webkit_get_minor_version()) + "." +
         std::to_string(webkit_get_micro_version());
}

namespace {

// Asks the engine to empty its memory and disk caches; `done`, when given,
// turns true once it has.
void StartCacheClear(std::shared_ptr<bool> done) {
  WebKitWebsiteDataManager* data = webkit_web_context_get_website_data_manager(SharedContext());
  webkit_website_data_manager_clear(
      data,
      static_cast<WebKitWebsiteDataTypes>(WEBKIT_WEBSITE_DATA_MEMORY_CACHE |
                                          WEBKIT_WEBSITE_DATA_DISK_CACHE),
      0, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::shared_ptr<bool>> done(static_cast<std::shared_ptr<bool>*>(data));
        webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result,
                                                 nullptr);
        if (*done) **done = true;
      },
      new std::shared_ptr<bool>(std::move(done)));
}

// The engine writes a resource to its disk cache about a second after the
// download, and a clear does not stop a write already queued: a stylesheet
// that arrived just before the clear lands on disk after it and is served
// from there on the next visit. A second clear once those writes are done
// removes it.
constexpr guint kLateWritesClearMs = 2000;
guint g_late_writes_clear = 0;

}  // namespace

void WebKitEngine::ClearCache() {
  auto done = std::make_shared<bool>(false);
  StartCacheClear(done);
  // A clean-up the engine never finishes must not hold the window forever.
  WaitUntil([&] { return *done; }, 15000);
  if (g_late_writes_clear) g_source_remove(g_late_writes_clear);
  g_late_writes_clear = g_timeout_add(kLateWritesClearMs, [](gpointer) -> gboolean {
    g_late_writes_clear = 0;
    StartCacheClear(nullptr);
    return G_SOURCE_REMOVE;
  }, nullptr);
}

}  // namespace orv
