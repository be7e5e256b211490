// Name resolution and validation of topics, services, nodes and namespaces.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "rclcpp/rclcpp.hpp"
#include "test_helpers.hpp"

TEST(ExpandName, ResolvesRelativeAbsoluteAndPrivateNames)
{
  struct Case
  {
    const char * name;
    const char * node_namespace;
    const char * expected;
  };
  const Case cases[] = {
    {"chatter", "/", "/chatter"},        {"chatter", "/robot", "/robot/chatter"},
    {"a/b", "/robot", "/robot/a/b"},     {"/abs/topic", "/robot", "/abs/topic"},
    {"~", "/robot", "/robot/talker"},    {"~/private", "/", "/talker/private"},
    {"{node}/x", "/ns", "/ns/talker/x"},
  };
  for (const auto & c : cases) {
    EXPECT_EQ(rclcpp::expand_topic_or_service_name(c.name, "talker", c.node_namespace), c.expected)
      << c.name << " in " << c.node_namespace;
  }
}

TEST(ExpandName, InvalidNamesThrowANamedError)
{
  const char * invalid[] = {"",         "a//b", "trailing/", "1abc", "a/2b",
                            "bad-char", "a~b",  "~x",        "{x",   "{bogus}"};
  for (const char * name : invalid) {
    try {
      rclcpp::expand_topic_or_service_name(name, "talker", "/");
      ADD_FAILURE() << "no exception for '" << name << "'";
    } catch (const rclcpp::exceptions::InvalidTopicNameError & e) {
      EXPECT_NE(std::string(e.what()).find(std::string("'") + name + "'"), std::string::npos)
        << e.what();
      EXPECT_NE(std::string(e.what()).find("Invalid topic name"), std::string::npos);
    }
  }
  EXPECT_THROW(
    rclcpp::expand_topic_or_service_name("a//b", "talker", "/", true),
    rclcpp::exceptions::InvalidServiceNameError);
}

TEST(ExpandName, EntitiesValidateTheirNames)
{
  auto node = std::make_shared<rclcpp::Node>("names", "robot");
  EXPECT_STREQ(node->get_namespace(), "/robot");
  EXPECT_STREQ(node->get_fully_qualified_name(), "/robot/names");
  auto pub = node->create_publisher<test_helpers::Msg>("relative", 1);
  EXPECT_STREQ(pub->get_topic_name(), "/robot/relative");
  EXPECT_THROW(
    node->create_publisher<test_helpers::Msg>("bad//name", 1),
    rclcpp::exceptions::InvalidTopicNameError);
  EXPECT_THROW(
    node->create_subscription<test_helpers::Msg>(
      "9lives", 1, [](test_helpers::Msg::ConstSharedPtr) {}),
    rclcpp::exceptions::InvalidTopicNameError);
}

TEST(ExpandName, NodeNamesAreValidatedButMayRepeat)
{
  EXPECT_THROW(rclcpp::Node("bad name"), rclcpp::exceptions::InvalidNodeNameError);
  EXPECT_THROW(rclcpp::Node("1node"), rclcpp::exceptions::InvalidNodeNameError);
  EXPECT_THROW(rclcpp::Node("ok", "/bad//ns"), rclcpp::exceptions::InvalidNamespaceError);
  auto first = std::make_shared<rclcpp::Node>("twin");
  auto second = std::make_shared<rclcpp::Node>("twin");
  EXPECT_STREQ(first->get_fully_qualified_name(), second->get_fully_qualified_name());
}
