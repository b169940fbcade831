// What is checked of a request before any route runs: the Host and Origin rules, and a JSON body read once.

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "host_guard.hpp"
#include "json_body.hpp"

namespace varnolith {
namespace {

TEST(WebRequest, HostIsOursWithOurPortOrTheDefaultOne) {
    const struct {
        std::string host, bound;
        int port;
        bool allowed;
    } cases[] = {
        {"localhost:8080", "127.0.0.1", 8080, true},
        {"127.0.0.1", "127.0.0.1", 80, true}, // a browser leaves out the default port
        {"[::1]", "::1", 80, true},
        {"127.0.0.1", "127.0.0.1", 8080, false},
        {"evil.example", "127.0.0.1", 80, false},
        {"[fe80::1]:8080", "fe80::1", 8080, true},
        {":80", "127.0.0.1", 80, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(host_allowed(c.host, c.bound, c.port), c.allowed) << c.host << " on " << c.bound << ":" << c.port;
}

TEST(WebRequest, OriginIsThePagesOwnOrNone) {
    const std::string host = "127.0.0.1:8080";
    EXPECT_TRUE(origin_allowed("", "", host)); // a program such as curl
    EXPECT_TRUE(origin_allowed("http://127.0.0.1:8080", "same-origin", host));
    EXPECT_TRUE(origin_allowed("", "none", host)); // typed into the address bar
    EXPECT_FALSE(origin_allowed("http://127.0.0.1:8081", "", host));
    EXPECT_FALSE(origin_allowed("", "cross-site", host)); // or same-site: another port here
}

TEST(WebRequest, JsonBodyRefusesAKeyGivenTwiceAtAnyDepth) {
    const auto kept = read_json_body(R"({"a": {"b": 1, "c": 2}, "d": [{"b": 1}, {"b": 2}]})");
    EXPECT_TRUE(std::holds_alternative<JsonBody>(kept));
    for (const auto& [body, key] : {std::pair{R"({"a": 1, "a": 2})", "a"}, {R"({"a": {"b": 1, "b": 1}})", "b"},
                                    {R"([{"x": 1, "y": 2, "x": 3}])", "x"}}) {
        const auto read = read_json_body(body);
        ASSERT_TRUE(std::holds_alternative<ApiError>(read)) << body;
        const ApiError& e = std::get<ApiError>(read);
        EXPECT_EQ(e.status, 400);
        EXPECT_EQ(e.field, key);
        EXPECT_EQ(e.message, "field \"" + std::string(key) + "\" is given twice");
    }
    EXPECT_EQ(std::get<ApiError>(read_json_body("{")).code, "bad_json");
    EXPECT_EQ(std::get<ApiError>(read_json_body(std::string(max_body_bytes + 1, ' '))).status, 413);
}

} // namespace
} // namespace varnolith
