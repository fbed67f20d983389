#include "images/myscene.h"

MyScene::MyScene(QObject *parent) : QGraphicsScene(parent)
{
    clearFocus();
}

void MyScene::keyPressEvent(QKeyEvent *event)
{
    QGraphicsScene::keyPressEvent(event);
}

void MyScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mousePressEvent(event);
}
