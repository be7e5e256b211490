// Turns a MessageEvent<M const> into the parameter type a callback declares:
// const std::shared_ptr<M const>&, std::shared_ptr<M const>, const M&,
// const MessageEvent<M const>&, and the copying forms const std::shared_ptr<M>&,
// std::shared_ptr<M>, const MessageEvent<M>&.
#ifndef MESSAGE_FILTERS__PARAMETER_ADAPTER_H_
#define MESSAGE_FILTERS__PARAMETER_ADAPTER_H_

#include <memory>

#include "message_filters/message_event.h"

namespace message_filters
{

template <typename M>
struct ParameterAdapter;

template <typename M>
struct ParameterAdapter<const std::shared_ptr<M const> &>
{
  typedef M Message;
  typedef MessageEvent<M const> Event;
  typedef const std::shared_ptr<M const> Parameter;
  static Parameter getParameter(const Event & event) { return event.getConstMessage(); }
};

template <typename M>
struct ParameterAdapter<std::shared_ptr<M const>>
{
  typedef M Message;
  typedef MessageEvent<M const> Event;
  typedef std::shared_ptr<M const> Parameter;
  static Parameter getParameter(const Event & event) { return event.getConstMessage(); }
};

template <typename M>
struct ParameterAdapter<const M &>
{
  typedef M Message;
  typedef MessageEvent<M const> Event;
  typedef const M & Parameter;
  static Parameter getParameter(const Event & event) { return *event.getConstMessage(); }
};

template <typename M>
struct ParameterAdapter<const MessageEvent<M const> &>
{
  typedef M Message;
  typedef MessageEvent<M const> Event;
  typedef const MessageEvent<M const> & Parameter;
  static Parameter getParameter(const Event & event) { return event; }
};

template <typename M>
struct ParameterAdapter<const std::shared_ptr<M> &>
{
  typedef M Message;
  typedef MessageEvent<M const> Event;
  typedef std::shared_ptr<M> Parameter;
  static Parameter getParameter(const Event & event)
  {
    return MessageEvent<M>(event.getConstMessage(), event.getReceiptTime()).getMessage();
  }
};

template <typename M>
struct ParameterAdapter<std::shared_ptr<M>>
{
  typedef M Message;
  typedef MessageEvent<M const> Event;
  typedef std::shared_ptr<M> Parameter;
  static Parameter getParameter(const Event & event)
  {
    return MessageEvent<M>(event.getConstMessage(), event.getReceiptTime()).getMessage();
  }
};

template <typename M>
struct ParameterAdapter<const MessageEvent<M> &>
{
  typedef M Message;
  typedef MessageEvent<M const> Event;
  typedef MessageEvent<M> Parameter;
  static Parameter getParameter(const Event & event)
  {
    return MessageEvent<M>(event.getConstMessage(), event.getReceiptTime());
  }
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__PARAMETER_ADAPTER_H_
