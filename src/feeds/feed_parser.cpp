#include "feeds/feed_parser.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <climits>
#include <cstring>

namespace orv {

namespace {

bool IsNamed(const xmlNode* node, const char* name) {
  return node && node->type == XML_ELEMENT_NODE &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// A feed's own fields are unprefixed: "title" in no namespace or in the
// feed's default one, never "media:title" or "itunes:category".
bool IsField(const xmlNode* node, const char* name) {
  return IsNamed(node, name) && (!node->ns || !node->ns->prefix);
}

bool InNamespace(const xmlNode* node, const char* name, const char* href) {
  return IsNamed(node, name) && node->ns && node->ns->href &&
         std::strcmp(reinterpret_cast<const char*>(node->ns->href), href) == 0;
}

constexpr char kDublinCore[] = "http://purl.org/dc/elements/1.1/";

const xmlNode* FirstElement(const xmlNode* node) {
  while (node && node->type != XML_ELEMENT_NODE) node = node->next;
  return node;
}

template <typename Match>
const xmlNode* FindChild(const xmlNode* parent, Match match) {
  for (const xmlNode* c = parent->children; c; c = c->next) {
    if (match(c)) return c;
  }
  return nullptr;
}

const xmlNode* Field(const xmlNode* item, const char* name) {
  return FindChild(item, [name](const xmlNode* c) { return IsField(c, name); });
}

// The element's text: its only child when that is text or CDATA.
std::string TextOf(const xmlNode* element) {
  if (!element || !element->children) return "";
  const xmlNode* only = element->children;
  if (only->next || (only->type != XML_TEXT_NODE && only->type != XML_CDATA_SECTION_NODE)) {
    throw FeedError(kNotSingleTextNode);
  }
  return only->content ? reinterpret_cast<const char*>(only->content) : "";
}

std::string Attribute(const xmlNode* element, const char* name) {
  xmlChar* value = xmlGetNoNsProp(element, reinterpret_cast<const xmlChar*>(name));
  std::string out = value ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return out;
}

// Atom XHTML content: the markup inside its wrapping div, as written.
std::string MarkupOf(const xmlNode* element) {
  if (Attribute(element, "type") != "xhtml") return TextOf(element);
  const xmlNode* inner = FirstElement(element->children);
  if (inner && IsNamed(inner, "div")) element = inner;
  std::string out;
  xmlBuffer* buffer = xmlBufferCreate();
  if (!buffer) throw FeedError("Out of memory");
  for (const xmlNode* c = element->children; c; c = c->next) {
    xmlBufferEmpty(buffer);
    if (xmlNodeDump(buffer, element->doc, const_cast<xmlNode*>(c), 0, 0) >= 0) {
      out.append(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                 static_cast<size_t>(xmlBufferLength(buffer)));
    }
  }
  xmlBufferFree(buffer);
  return out;
}

FeedItem RssItem(const xmlNode* item) {
  FeedItem out;
  out.title = TextOf(Field(item, "title"));
  out.link = TextOf(Field(item, "link"));
  out.description = TextOf(Field(item, "description"));
  // RSS 1.0 dates and subjects are Dublin Core elements.
  const xmlNode* date = Field(item, "pubDate");
  if (!date) date = FindChild(item, [](const xmlNode* c) { return InNamespace(c, "date", kDublinCore); });
  out.pub_date = TextOf(date);
  const xmlNode* category = Field(item, "category");
  if (!category) {
    category = FindChild(item, [](const xmlNode* c) { return InNamespace(c, "subject", kDublinCore); });
  }
  out.category = TextOf(category);
  return out;
}

FeedItem AtomEntry(const xmlNode* entry) {
  FeedItem out;
  out.title = TextOf(Field(entry, "title"));
  const xmlNode* link = FindChild(entry, [](const xmlNode* c) {
    if (!IsField(c, "link")) return false;
    const std::string rel = Attribute(c, "rel");
    return rel.empty() || rel == "alternate";
  });
  if (!link) link = Field(entry, "link");
  if (link) out.link = Attribute(link, "href");
  const xmlNode* text = Field(entry, "summary");
  if (!text) text = Field(entry, "content");
  if (text) out.description = MarkupOf(text);
  const xmlNode* date = Field(entry, "updated");
  if (!date) date = Field(entry, "published");
  out.pub_date = TextOf(date);
  if (const xmlNode* category = Field(entry, "category")) out.category = Attribute(category, "term");
  return out;
}

constexpr size_t kPaceItems = 256;

// Each item's node is freed as soon as it has been read: a long feed's
// document then goes a piece at a time, between the paces, instead of in
// one go at the end.
void Took(xmlNode* node, std::vector<FeedItem>& items, FeedItem item,
          const std::function<void()>& pace) {
  items.push_back(std::move(item));
  xmlUnlinkNode(node);
  xmlFreeNode(node);
  if (pace && items.size() % kPaceItems == 0) pace();
}

xmlNode* NextElementOf(xmlNode* node) {
  xmlNode* n = node->next;
  while (n && n->type != XML_ELEMENT_NODE) n = n->next;
  return n;
}

std::vector<FeedItem> ItemsOf(xmlDoc* doc, const std::function<void()>& pace) {
  std::vector<FeedItem> items;
  xmlNode* root = xmlDocGetRootElement(doc);
  if (!root) return items;
  // RSS 2.0: the channel holds the items, and every element after the
  // first item is read as one.
  if (const xmlNode* channel = FirstElement(root->children)) {
    if (const xmlNode* first = Field(channel, "item")) {
      for (xmlNode* n = const_cast<xmlNode*>(first); n;) {
        xmlNode* next = NextElementOf(n);
        Took(n, items, RssItem(n), pace);
        n = next;
      }
      return items;
    }
  }
  // Atom and RSS 1.0 keep their entries beside the feed's own elements.
  const bool atom = IsField(root, "feed");
  for (xmlNode* n = root->children; n;) {
    xmlNode* next = n->next;
    if (atom && IsField(n, "entry")) {
      Took(n, items, AtomEntry(n), pace);
    } else if (!atom && IsField(n, "item")) {
      Took(n, items, RssItem(n), pace);
    }
    n = next;
  }
  return items;
}

std::string ParserMessage(xmlParserCtxt* context) {
  const xmlError* error = xmlCtxtGetLastError(context);
  if (!error || !error->message) return "The feed is not a well-formed XML document.";
  std::string text = error->message;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (error->line > 0) text += " (line " + std::to_string(error->line) + ")";
  return text;
}

// Errors are kept in the context and told to the user by the program, not
// printed on stderr.
void KeepQuiet(void*, xmlErrorPtr) {}

}  // namespace

struct FeedParser::Impl {
  ~Impl() {
    if (context) {
      if (context->myDoc) xmlFreeDoc(context->myDoc);
      context->myDoc = nullptr;
      xmlFreeParserCtxt(context);
    }
  }
  xmlParserCtxt* context = nullptr;
  bool failed = false;
};

FeedParser::FeedParser() : impl_(std::make_unique<Impl>()) {
  impl_->context = xmlCreatePushParserCtxt(nullptr, nullptr, nullptr, 0, nullptr);
  if (!impl_->context) throw FeedError("Out of memory");
  // No network, no DTD, no entity substitution (so no external entity is
  // ever fetched), and the default limits (no XML_PARSE_HUGE).
  xmlCtxtUseOptions(impl_->context, XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR |
                                        XML_PARSE_NOBLANKS);
  impl_->context->loadsubset = 0;
  impl_->context->replaceEntities = 0;
  impl_->context->validate = 0;
  if (impl_->context->sax) impl_->context->sax->serror = KeepQuiet;
}

FeedParser::~FeedParser() = default;

void FeedParser::Feed(std::string_view chunk) {
  if (impl_->failed) throw FeedError("The feed could not be read.");
  bytes_ += chunk.size();
  if (bytes_ > kMaxFeedBytes) {
    impl_->failed = true;
    throw FeedError("The feed is larger than 32 MiB and is not read.");
  }
  while (!chunk.empty()) {
    const int piece = static_cast<int>(std::min<size_t>(chunk.size(), INT_MAX / 2));
    if (xmlParseChunk(impl_->context, chunk.data(), piece, 0) != 0 ||
        !impl_->context->wellFormed) {
      impl_->failed = true;
      throw FeedError(ParserMessage(impl_->context));
    }
    chunk.remove_prefix(static_cast<size_t>(piece));
  }
}

std::vector<FeedItem> FeedParser::Finish(const std::function<void()>& pace) {
  if (impl_->failed) throw FeedError("The feed could not be read.");
  impl_->failed = true;
  // A parser stopped by characters it cannot decode may keep its document
  // marked well-formed, with no element in it: its answer and the element
  // tell that it did not get to the end.
  const int ended = xmlParseChunk(impl_->context, nullptr, 0, 1);
  if (ended != 0 || !impl_->context->wellFormed || !impl_->context->myDoc ||
      !xmlDocGetRootElement(impl_->context->myDoc)) {
    throw FeedError(ParserMessage(impl_->context));
  }
  return ItemsOf(impl_->context->myDoc, pace);
}

std::vector<FeedItem> ParseFeed(std::string_view bytes) {
  FeedParser parser;
  parser.Feed(bytes);
  return parser.Finish();
}

}  // namespace orv
