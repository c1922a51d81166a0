#include "feeds/feed_digest.h"

namespace orv {

void AddDigestHeader(DigestLines& lines) {
  lines.insert(lines.end(), {"<HTML>", "<HEAD>", "</HEAD>", "<BODY>"});
}

void AddDigestItem(DigestLines& lines, const FeedItem& item, const std::string& feed_name) {
  lines.push_back("<hr size=\"1\" noshade>");
  lines.push_back("<p><font size=\"4\">");
  lines.push_back("<p><a href=\"" + item.link + "\">" + item.title + "</a></p>");
  lines.push_back("</font></p>");
  // This paragraph stays open; the next block's rule ends it. Its font is
  // closed after the feed's name: left open, every item would nest one
  // font deeper, and a long feed would take the engine minutes to lay out.
  lines.push_back("<p><font size=\"2\">");
  lines.push_back("<font size=\"3\" color=\"#FF0000\">" + item.pub_date +
                  " </font> <font size=\"3\" color=\"#0080FF\"> " + item.category + " </font>");
  lines.push_back("<font color=\"#008040\" size=\"4\"><strong>" + feed_name +
                  "</strong></font></font>");
  lines.push_back("<p><font size=\"3\">");
  lines.push_back(item.description);
  lines.push_back("</font></p>");
}

void AddDigestItems(DigestLines& lines, const std::vector<FeedItem>& items,
                    const std::string& feed_name, const std::function<void()>& pace) {
  lines.reserve(lines.size() + 10 * items.size() + 2);
  for (size_t i = 0; i < items.size(); ++i) {
    AddDigestItem(lines, items[i], feed_name);
    if (pace && i % 500 == 499) pace();
  }
}

void AddDigestFooter(DigestLines& lines) { lines.insert(lines.end(), {"</BODY>", "</HTML>"}); }

std::string JoinDigestLines(const DigestLines& lines) {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::string TickerText(const std::string& feed_name, const std::vector<FeedItem>& items) {
  std::string out = "   " + feed_name + " ::: ";
  for (const FeedItem& item : items) {
    out += item.pub_date;
    out += ":  ";
    out += item.title;
    out += " :::    ";
  }
  return out;
}

}  // namespace orv
