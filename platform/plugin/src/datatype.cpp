#include <plugin/datatype.h>

namespace DataType {

int registerCategoriesMetaType()
{
    static const int id = qRegisterMetaType<DataType::Categories>("DataType::Categories");
    return id;
}

} // namespace DataType
